#include "shell/CommandLine.h"

#include <gtest/gtest.h>

namespace tilbo {
namespace {

TEST(CommandLine, SwitchesMatchIgnoringCaseExceptLogExcluded) {
  EXPECT_TRUE(CommandLine({"/auto"}).HasAutoSwitch());
  EXPECT_TRUE(CommandLine({"--auto"}).HasAutoSwitch());
  EXPECT_FALSE(CommandLine({"/AUTOMATIC"}).HasAutoSwitch());
  EXPECT_TRUE(CommandLine({"/AUTO", "/LE"}).HasLogExcludedSwitch());
  EXPECT_TRUE(CommandLine({"--log-excluded"}).HasLogExcludedSwitch());
  EXPECT_FALSE(CommandLine({"/AUTO", "/le"}).HasLogExcludedSwitch());
}

TEST(CommandLine, ValueIsTheRestOfItsArgumentTrimmed) {
  const CommandLine line({"/AUTO", "/source=/data/MAP 1.TXT ", "/DEST=/luc/", "--log=/tmp/run.log"});
  EXPECT_EQ(line.getCommandArg("/SOURCE=", "/"), "/data/MAP 1.TXT");
  EXPECT_EQ(line.getCommandArg("/DEST=", "/"), "/luc/");
  EXPECT_EQ(line.getCommandArg("/LOG=", "/"), "/tmp/run.log");
  EXPECT_EQ(line.getCommandArg("/INI=", "/"), "");
  EXPECT_EQ(line.getCommandArg("  ", "/"), "");
}

TEST(CommandLine, FirstMatchingArgumentWinsAndQuotesStay) {
  const CommandLine line({"/SOURCE=/DEST=/luc", "/DEST=\"/luc/\"", "/DEST=/other/"});
  EXPECT_EQ(line.getCommandArg("/SOURCE="), "/DEST=/luc");
  EXPECT_EQ(line.getCommandArg("/DEST="), "\"/luc/\"");
}

TEST(CommandLine, UnknownArgumentsAreReported) {
  EXPECT_EQ(CommandLine({"/AUTO", "/LE", "/le", "--ini=x", "--help", "--version"}).FirstUnknownArgument(), "");
  EXPECT_EQ(CommandLine({"/AUTO", "--sauce=x"}).FirstUnknownArgument(), "--sauce=x");
  EXPECT_TRUE(CommandLine({"--help"}).WantsHelp());
  EXPECT_TRUE(CommandLine({"--version"}).WantsVersion());
}

}  // namespace
}  // namespace tilbo
