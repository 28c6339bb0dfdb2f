// What an unattended run prints on standard error, beside its log. The lines
// of a failure and of a source cut short are checked on the real program
// (tests/app); here the line only a terminal gets.

#include <gtest/gtest.h>

#include "shell/AutoConvertReport.h"

namespace tilbo {
namespace {

TEST(AutoConvertReport, OnlyATerminalHearsOfASuccess) {
  AutoConvertOutcome o;
  o.source = "/ctg/lew";
  o.log = "/logs/run.log";
  o.tilesWritten = {"/luc/L07144NW.LUC", "/luc/L07044NW.LUC"};
  EXPECT_EQ(AutoConvertReportLines(o, kExitConverted, false), std::vector<std::string>{});
  EXPECT_EQ(AutoConvertReportLines(o, kExitConverted, true),
            std::vector<std::string>{"ctgtilbo: 2 tiles written: /luc/L07144NW.LUC, /luc/L07044NW.LUC (log: /logs/run.log)"});
  EXPECT_EQ(AutoConvertReportLines(o, kExitCouldNotStart, true), std::vector<std::string>{});  // its message said why
}

}  // namespace
}  // namespace tilbo
