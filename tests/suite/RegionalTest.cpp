#include "suite/Regional.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "suite/IniAccess.h"
#include "suite/NumberFormat.h"
#include "suite/Prompter.h"
#include "suite/SuiteConfig.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using ::testing::HasSubstr;
using testing::ReadWholeFile;
using testing::ScriptedPrompter;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

class RegionalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OverrideSeparatorsForTesting(&german_);
    SetActivePrompter(&prompter_);
    Config().userDefaultsIniPath = env_.home.file("QMDEFAULTS.INI");
  }
  void TearDown() override {
    OverrideSeparatorsForTesting(nullptr);
    SetActivePrompter(nullptr);
  }
  const std::string& ini() const { return Config().userDefaultsIniPath; }

  SuiteEnvironment env_;
  NumberSeparators german_{",", "."};
  ScriptedPrompter prompter_;
};

TEST_F(RegionalTest, FirstRunStoresTheCurrentCharactersSilently) {
  std::string description = "stale";
  EXPECT_FALSE(ReadRegionalFormat(description));
  EXPECT_EQ(description, "");
  EXPECT_EQ(Config().lastDecimal, ",");
  EXPECT_EQ(Config().lastDigitSeparator, ".");

  CheckRegionalSettings();
  EXPECT_TRUE(prompter_.shown.empty());
  EXPECT_EQ(ReadINI("CONFIG", "Last Decimal", "", ini()), ",");
  EXPECT_EQ(ReadINI("CONFIG", "Last Dig Sep", "", ini()), ".");
}

TEST_F(RegionalTest, DescribesEachDifference) {
  const std::pair<const char*, const char*> cases[] = {
      {"Last Decimal=.\nLast Dig Sep=,", "Decimal was '.' but now is ','\r\nDigit Separator was ',' but now is '.'"},
      {"Last Decimal=,\nLast Dig Sep=,", "Digit Separator was ',' but now is '.'"},
      {"Last Decimal=.\nLast Dig Sep=", "Decimal was '.' but now is ','"}};
  for (const auto& [stored, expected] : cases) {
    WriteWholeFile(ini(), std::string("[CONFIG]\n") + stored + "\n");
    std::string description;
    EXPECT_TRUE(ReadRegionalFormat(description));
    EXPECT_EQ(description, expected);
  }
}

TEST_F(RegionalTest, ChangeIsLoggedShownAndNotStored) {
  const std::string stored = "[CONFIG]\nLast Decimal=.\nLast Dig Sep=,\n";
  WriteWholeFile(ini(), stored);
  CheckRegionalSettings();

  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Information);
  EXPECT_EQ(prompter_.shown[0].title, "Regional Settings Changed");
  EXPECT_EQ(prompter_.shown[0].text,
            "WARNING:  The Regional Settings for Decimal character and Digit Separator character have been "
            "changed.\r\n\r\n"
            "Decimal was '.' but now is ','\r\nDigit Separator was ',' but now is '.'\r\n\r\n"
            "Some settings in your QMDEFAULTS.INI file using the old settings may cause errors.\r\n\r\n"
            "Use the Configuration menu to Purge the configuration file to remove old settings.");
  EXPECT_EQ(ReadWholeFile(ini()), stored);
  EXPECT_THAT(ReadWholeFile(env_.suite.file("QMTECSUP.TXT")), HasSubstr("WARNING:  The Regional Settings"));
}

}  // namespace
}  // namespace tilbo
