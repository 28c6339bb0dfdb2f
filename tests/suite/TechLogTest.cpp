// The technical-support log, the status messages, and the error report that
// writes to both.
#include "suite/TechLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "suite/ErrorReport.h"
#include "suite/Prompter.h"
#include "suite/SuiteConfig.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"
#include "support/TechLogLines.h"

namespace tilbo {
namespace {

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Pair;
using namespace tilbo::testing;

// A fresh suite directory; messages go to a scripted prompter, status texts
// into `status_`.
class SupportLog : public ::testing::Test {
 protected:
  void SetUp() override {
    SetActivePrompter(&prompter_);
    SetStatusSink([this](int index, const std::string& text) { status_.emplace_back(index, text); });
  }
  void TearDown() override { SetActivePrompter(nullptr); }

  SuiteEnvironment env_;
  ScriptedPrompter prompter_;
  std::vector<std::pair<int, std::string>> status_;
};

// An existing log keeps its name and its text; an empty one gets the header.
TEST_F(SupportLog, ExistingLogKeptEmptyLogGetsTheHeader) {
  WriteWholeFile(env_.suite.file("QMTecSup.txt"), "kept");
  EnsureLog();
  EXPECT_EQ(ReadWholeFile(TechLogPath()), "kept");
  WriteWholeFile(TechLogPath(), "");
  EnsureLog();
  EXPECT_THAT(Lines(ReadWholeFile(TechLogPath())),
              ElementsAre(".LOG", _, "TechSupport Report File", "", MatchesRegex("OS: .+  CPU: .+"),
                          MatchesRegex("Memory: [0-9,]* KB Free"), "GAV is currently installed in " + env_.suite.dir(),
                          _, std::string(52, '-')));
}

TEST_F(SupportLog, WriteLogComposesTheLineAddsASpacerAndHonoursTheLevel) {
  // The line's format is pinned by LoggedTexts; the version is hidden on request.
  std::string text = "hello";
  WriteLog(text, true);
  EXPECT_THAT(text, MatchesRegex(R"(.*  \(ctgtilbo [0-9]+\.[0-9]+\.[0-9]+\))"));
  std::string hidden = "no version";
  WriteLog(hidden, false);
  EXPECT_THAT(hidden, MatchesRegex(R"(.*  \(ctgtilbo __\.__\.[0-9]+\))"));
  EXPECT_THAT(ReadWholeFile(TechLogPath()), HasSubstr(text + "\n \n" + hidden + "\n \n"));
  EXPECT_THAT(status_, ElementsAre(Pair(2, "Write Log"), Pair(2, ""), Pair(2, "Write Log"), Pair(2, "")));

  WriteLogIfEnabled("off");
  WriteLogAtLevel("off too", 0);
  Config().techSupportLogLevel = 100;
  WriteLogIfEnabled("enabled");
  WriteLogAtLevel("at 100", 100);
  WriteLogAtLevel("at 1100", 1100);
  EXPECT_THAT(LoggedTexts(TechLogPath()), ElementsAre("hello", "no version", "enabled", "at 100"));
}

TEST_F(SupportLog, StatusMessagesTrimmedAndOnlyForTheThreeIndices) {
  SetStatusMessage("  Reading  ", 0);
  SetStatusMessage("ignored", 3);
  SetStatusMessage("ignored", -1);
  SetStatusSink([](int, const std::string&) { throw std::runtime_error("status line gone"); });
  SetStatusMessage("swallowed", 1);
  EXPECT_THAT(status_, ElementsAre(Pair(0, "Reading")));
}

TEST_F(SupportLog, LogsProceduresAndShowsTheSupportMessage) {
  ActiveProcedure outer(kProcDecDegToString, 0);
  ActiveProcedure inner(4242, 7);
  ReportError(6, "Overflow", "  while formatting  ");

  EXPECT_THAT(LoggedTexts(TechLogPath()),
              ElementsAre(std::string(25, '*'), "Error 6:  Overflow", "Procedures:",
                          "Procedure: DecDeg_to_String; Flag 0", "Procedure: 4242; Flag 7",
                          "DETAIL:   while formatting  "));

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
  // A blank detail writes no DETAIL line.
  ReportError(5, "Invalid procedure call", "   ");
  EXPECT_EQ(LoggedTexts(TechLogPath()).back(), "Procedure: 4242; Flag 7");
  // The three status messages end cleared.
  ASSERT_GE(status_.size(), 3u);
  EXPECT_THAT(std::vector(status_.end() - 3, status_.end()), ElementsAre(Pair(0, ""), Pair(1, ""), Pair(2, "")));
}


}  // namespace
}  // namespace tilbo
