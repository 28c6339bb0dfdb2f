#include "suite/TechLog.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <vector>

#include "suite/ErrorReport.h"
#include "suite/Prompter.h"
#include "suite/SuiteConfig.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using testing::ReadWholeFile;
using testing::ScriptedPrompter;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The log lines written by WriteLog, without the header and the blank spacer lines.
std::vector<std::string> LoggedTexts(const std::string& logPath) {
  std::vector<std::string> texts;
  const std::regex stamped(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:  (.*)  \(ctgtilbo [0-9_.]+\))");
  for (const std::string& line : Lines(ReadWholeFile(logPath))) {
    std::smatch m;
    if (std::regex_match(line, m, stamped)) texts.push_back(m[1]);
  }
  return texts;
}

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
  const auto lines = Lines(ReadWholeFile(TechLogPath()));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], ".LOG");
  EXPECT_EQ(lines[2], "TechSupport Report File");
  EXPECT_EQ(lines[3], "");
  EXPECT_TRUE(std::regex_match(lines[4], std::regex("OS: .+  CPU: .+"))) << lines[4];
  EXPECT_TRUE(std::regex_match(lines[5], std::regex("Memory: [0-9,]* KB Free"))) << lines[5];
  EXPECT_EQ(lines[6], "GAV is currently installed in " + env.suite.dir());
  EXPECT_EQ(lines[8], std::string(52, '-'));

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
  EXPECT_NE(log.find(text + "\n \n" + hidden + "\n \n"), std::string::npos);
  EXPECT_EQ(log.find('\r'), std::string::npos);
  const std::vector<std::pair<int, std::string>> expected = {{2, "Write Log"}, {2, ""}, {2, "Write Log"}, {2, ""}};
  EXPECT_EQ(status, expected);
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
  const std::vector<std::string> expected = {"enabled", "at 100"};
  EXPECT_EQ(LoggedTexts(TechLogPath()), expected);
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
  const std::vector<std::pair<int, std::string>> expected = {{0, "Reading"}};
  EXPECT_EQ(status, expected);
}

class ErrorReportTest : public ::testing::Test {
 protected:
  void SetUp() override { SetActivePrompter(&prompter_); }
  void TearDown() override { SetActivePrompter(nullptr); }
  SuiteEnvironment env_;
  ScriptedPrompter prompter_;
};

TEST_F(ErrorReportTest, LogsProceduresAndShowsTheSupportMessage) {
  std::vector<std::pair<int, std::string>> status;
  SetStatusSink([&](int index, const std::string& text) { status.emplace_back(index, text); });
  ActiveProcedure outer(kProcDecDegToString, 0);
  ActiveProcedure inner(4242, 7);
  ReportError(6, "Overflow", "  while formatting  ");

  const std::vector<std::string> expectedLog = {std::string(25, '*'), "Error 6:  Overflow", "Procedures:",
                                                "Procedure: DecDeg_to_String; Flag 0", "Procedure: 4242; Flag 7",
                                                "DETAIL:   while formatting  "};
  EXPECT_EQ(LoggedTexts(TechLogPath()), expectedLog);

  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Information);
  EXPECT_EQ(prompter_.shown[0].title, "Error in CTGTILBO");
  EXPECT_EQ(prompter_.shown[0].text,
            "Error 6:  Overflow\r\n\r\n"
            "Procedures:\r\nProcedure: DecDeg_to_String; Flag 0\r\nProcedure: 4242; Flag 7\r\n\r\n"
            "This information has been written to the log file\r\n" +
                env_.suite.file("QMTECSUP.TXT") +
                "\r\n"
                "Faxing or e-mailing this file to Quillmarsh may be helpful in determining the cause of the "
                "error.\r\n\r\n"
                "Additional information you include in your email will help find the specific problem you "
                "encountered:\r\n\r\n"
                "(1) What were you trying to do (such as draw a profile or compute a coverage study)?\r\n\r\n"
                "(2) What part of the program were you in (which menu selection, etc.)?\r\n\r\n"
                "(3) Exactly when did the problem happen (e.g., right after clicking a particular button or "
                "menu)?\r\n\r\n"
                "(4) Any other details about the symptom.");
  // The three status messages end cleared.
  ASSERT_GE(status.size(), 3u);
  const std::vector<std::pair<int, std::string>> cleared = {{0, ""}, {1, ""}, {2, ""}};
  EXPECT_EQ(std::vector(status.end() - 3, status.end()), cleared);
}

TEST_F(ErrorReportTest, BlankDetailWritesNoDetailLine) {
  ReportError(5, "Invalid procedure call", "   ");
  const std::vector<std::string> expectedLog = {std::string(25, '*'), "Error 5:  Invalid procedure call",
                                                "Procedures:"};
  EXPECT_EQ(LoggedTexts(TechLogPath()), expectedLog);
  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].text.rfind("Error 5:  Invalid procedure call\r\n\r\nProcedures:\r\n\r\nThis", 0), 0u);
}

TEST(ActiveProcedures, ScopesPushAndPop) {
  ClearActiveProcedures();
  {
    ActiveProcedure a(1, 0);
    {
      ActiveProcedure b(2, 3);
      ASSERT_EQ(ActiveProcedures().size(), 2u);
      EXPECT_EQ(ActiveProcedures()[1].number, 2);
      EXPECT_EQ(ActiveProcedures()[1].flag, 3);
    }
    ASSERT_EQ(ActiveProcedures().size(), 1u);
    EXPECT_EQ(ActiveProcedures()[0].number, 1);
  }
  EXPECT_TRUE(ActiveProcedures().empty());
  PopActiveProcedure();  // harmless on an empty list
  EXPECT_TRUE(ActiveProcedures().empty());
}

}  // namespace
}  // namespace tilbo
