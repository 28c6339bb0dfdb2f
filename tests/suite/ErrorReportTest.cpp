#include "suite/ErrorReport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "suite/Prompter.h"
#include "suite/TechLog.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"
#include "support/TechLogLines.h"

namespace tilbo {
namespace {

using ::testing::StartsWith;
using testing::LoggedTexts;
using testing::ScriptedPrompter;
using testing::SuiteEnvironment;

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
  EXPECT_THAT(prompter_.shown[0].text, StartsWith("Error 5:  Invalid procedure call\r\n\r\nProcedures:\r\n\r\nThis"));
}

}  // namespace
}  // namespace tilbo
