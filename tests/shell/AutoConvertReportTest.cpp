// What an unattended run prints on standard error, beside its log.

#include <gtest/gtest.h>

#include "shell/AutoConvertReport.h"

namespace tilbo {
namespace {

TEST(AutoConvertReport, FailuresAlwaysSuccessOnATerminalCutShortAlways) {
  AutoConvertOutcome failed;
  failed.source = "/ctg/lew";
  failed.log = "/logs/run.log";
  failed.reason = "Unknown error in ReadCTGFile.";
  AutoConvertOutcome converted = failed;
  converted.reason.clear();
  converted.tilesWritten = {"/luc/L07144NW.LUC", "/luc/L07044NW.LUC"};
  converted.recordsDeclared = converted.recordsHeld = 46330;
  AutoConvertOutcome cut = converted;
  cut.tilesWritten.pop_back();
  cut.recordsHeld = 251;

  const std::string notConverted = "ctgtilbo: /ctg/lew not converted: Unknown error in ReadCTGFile. (log: /logs/run.log)";
  const std::string written =
      "ctgtilbo: 2 tiles written: /luc/L07144NW.LUC, /luc/L07044NW.LUC (log: /logs/run.log)";
  const std::string cutShort =
      "ctgtilbo: /ctg/lew is cut short: it holds 251 of the 46330 data records its header declares; the tiles "
      "lack the missing cells (exit status 3)";
  struct Case {
    const AutoConvertOutcome& outcome;
    int status;
    bool terminal;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {failed, kExitNotConverted, false, {notConverted}},
      {failed, kExitNotConverted, true, {notConverted}},
      {converted, kExitConverted, false, {}},
      {converted, kExitConverted, true, {written}},
      {cut, kExitConvertedShortSource, false, {cutShort}},
      {cut, kExitConvertedShortSource, true,
       {cutShort, "ctgtilbo: 1 tile written: /luc/L07144NW.LUC (log: /logs/run.log)"}},
      {failed, kExitCouldNotStart, true, {}},  // the message already said why
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AutoConvertReportLines(c.outcome, c.status, c.terminal), c.lines)
        << "status " << c.status << (c.terminal ? " on a terminal" : "");
  }
}

}  // namespace
}  // namespace tilbo
