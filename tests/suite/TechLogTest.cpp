#include "suite/TechLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "suite/SuiteConfig.h"
#include "support/SuiteEnvironment.h"
#include "support/TechLogLines.h"

namespace tilbo {
namespace {

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;
using ::testing::Pair;
using testing::Lines;
using testing::LoggedTexts;
using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

TEST(TechLog, PathIsInTheSuiteDirectoryAndKept) {
  SuiteEnvironment env;
  WriteWholeFile(env.suite.file("QMTecSup.txt"), "existing");
  EXPECT_EQ(TechLogPath(), env.suite.file("QMTecSup.txt"));
  std::filesystem::remove(env.suite.file("QMTecSup.txt"));
  EXPECT_EQ(TechLogPath(), env.suite.file("QMTecSup.txt"));
  ResetTechLogForTesting();
  EXPECT_EQ(TechLogPath(), env.suite.file("QMTECSUP.TXT"));
}

TEST(TechLog, HeaderWrittenWhenMissingOrEmpty) {
  SuiteEnvironment env;
  WriteWholeFile(env.suite.file("QMTECSUP.TXT"), "");
  EnsureLog();
  EXPECT_THAT(Lines(ReadWholeFile(TechLogPath())),
              ElementsAre(".LOG", _, "TechSupport Report File", "", MatchesRegex("OS: .+  CPU: .+"),
                          MatchesRegex("Memory: [0-9,]* KB Free"), "GAV is currently installed in " + env.suite.dir(), _,
                          std::string(52, '-')));
  // An existing log is left alone.
  WriteWholeFile(TechLogPath(), "kept");
  EnsureLog();
  EXPECT_EQ(ReadWholeFile(TechLogPath()), "kept");
}

TEST(TechLog, WriteLogComposesTheLineAndAddsASpacer) {
  SuiteEnvironment env;
  std::vector<std::pair<int, std::string>> status;
  SetStatusSink([&](int index, const std::string& text) { status.emplace_back(index, text); });

  std::string text = "hello";
  WriteLog(text, true);
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:  hello  \(ctgtilbo \d+\.\d+\.\d+\))")))
      << text;
  std::string hidden = "no version";
  WriteLog(hidden, false);
  EXPECT_TRUE(std::regex_search(hidden, std::regex(R"(  \(ctgtilbo __\.__\.\d+\)$)"))) << hidden;

  const std::string log = ReadWholeFile(TechLogPath());
  EXPECT_THAT(log, HasSubstr(text + "\n \n" + hidden + "\n \n"));
  EXPECT_THAT(log, Not(HasSubstr("\r")));
  EXPECT_THAT(status, ElementsAre(Pair(2, "Write Log"), Pair(2, ""), Pair(2, "Write Log"), Pair(2, "")));
}

TEST(TechLog, LevelsGateTheOptionalLines) {
  SuiteEnvironment env;
  WriteLogIfEnabled("off");
  WriteLogAtLevel("off too", 0);
  EXPECT_FALSE(std::filesystem::exists(TechLogPath()));

  Config().techSupportLogLevel = 100;
  WriteLogIfEnabled("enabled");
  WriteLogAtLevel("at 100", 100);
  WriteLogAtLevel("at 1100", 1100);
  EXPECT_THAT(LoggedTexts(TechLogPath()), ElementsAre("enabled", "at 100"));
}

TEST(StatusMessages, TrimmedAndOnlyForTheThreeIndices) {
  SuiteEnvironment env;
  std::vector<std::pair<int, std::string>> status;
  SetStatusSink([&](int index, const std::string& text) { status.emplace_back(index, text); });
  SetStatusMessage("  Reading  ", 0);
  SetStatusMessage("ignored", 3);
  SetStatusMessage("ignored", -1);
  SetStatusSink([](int, const std::string&) { throw std::runtime_error("status line gone"); });
  SetStatusMessage("swallowed", 1);
  EXPECT_THAT(status, ElementsAre(Pair(0, "Reading")));
}

}  // namespace
}  // namespace tilbo
