#include "registry/frmDirectories.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "registry/INISections.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "shell/HeadlessHost.h"
#include "suite/SuiteConfig.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace tilbo::testing;
using ::testing::_;
using ::testing::ElementsAre;

class RecordingOwner final : public DirectoriesOwner {
 public:
  int reloads = 0;
  std::string text;
  void ReadDirectories() override { ++reloads; }
  void SetDirectoryText(const std::string& t) override { text = t; }
};

class frmDirectories : public ::testing::Test {
 protected:
  void SetUp() override {
    LRR_ResetModuleForTesting();
    Config().userDefaultsIniPath = env_.home.file("QMDEFAULTS.INI");
    std::filesystem::create_directories(env_.home.path() / "luc" / "a");
    std::filesystem::create_directories(env_.home.path() / "new");
    WriteWholeFile(Config().userDefaultsIniPath, "[LULC Directories]\r\nDirectory 1=" + env_.home.dir() + "luc/\r\n");
  }
  void TearDown() override { LRR_ResetModuleForTesting(); }

  SuiteEnvironment env_;
  ScriptedPrompter prompter_;
  RecordingOwner owner_;
};

TEST_F(frmDirectories, OnlyADirectoryNotListedIsOfferedForTheList) {
  const std::string before = ReadWholeFile(Config().userDefaultsIniPath);
  tilbo::frmDirectories listed(owner_, prompter_, {"/"});
  listed.Load();
  EXPECT_EQ(listed.path, "/");
  ASSERT_TRUE(listed.dilbDirectories_Change(env_.home.dir() + "luc"));
  EXPECT_EQ(listed.subdirectories, std::vector<std::string>{"a"});
  listed.cmdOK_Click();
  EXPECT_TRUE(prompter_.shown.empty());
  EXPECT_EQ(ReadWholeFile(Config().userDefaultsIniPath), before);
  EXPECT_EQ(owner_.text, env_.home.dir() + "luc");  // as the tree shows it, without an added "/"
  EXPECT_TRUE(listed.closed);

  // A new directory is added only when the user says yes.
  const std::string fresh = env_.home.dir() + "new";
  tilbo::frmDirectories picker(owner_, prompter_, {"/"});
  picker.Load();
  picker.dilbDirectories_Change(fresh);
  prompter_.replies = {Reply::No};
  picker.cmdOK_Click();
  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Question);
  EXPECT_EQ(prompter_.shown[0].text, "The directory you selected, " + fresh +
                                         "/, is not one of the directories that GAV will search in for LUC files."
                                         "\r\n\r\nWould you like to add this directory to that list now?");
  EXPECT_EQ(ReadWholeFile(Config().userDefaultsIniPath), before);
  EXPECT_EQ(owner_.text, fresh);
  prompter_.replies = {Reply::Yes};
  picker.cmdOK_Click();
  EXPECT_THAT(ReadINISection("LULC Directories", Config().userDefaultsIniPath),
              ElementsAre(_, INIEntry{"Directory 2", fresh + "/"}));
  EXPECT_EQ(owner_.reloads, 3);
}

TEST_F(frmDirectories, AnInaccessibleDriveFallsBackToTheFirstAfterAsking) {
  tilbo::frmDirectories picker(owner_, prompter_, {"/", env_.home.dir() + "vanished"});
  picker.Load();
  prompter_.replies = {Reply::Yes};
  picker.drlbDrives_Change(1);
  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Critical);
  EXPECT_EQ(prompter_.shown[0].text,
            "The drive you selected could not be accessed.  Would you like the program to try to access it again?");
  EXPECT_EQ(picker.selectedDrive, 0);
  EXPECT_EQ(picker.path, "/");
}

TEST_F(frmDirectories, TheMainWindowReportsAListItCannotReload) {
  HeadlessHost host;  // the main window as the picker's owner, without a window
  CountingEventPump pump;
  frmMain main(prompter_, pump, host, CommandLine());
  Config().userDefaultsIniPath = " ";
  main.ReadDirectories();
  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Critical);
  EXPECT_EQ(prompter_.shown[0].text, "There was an error while trying to read the list of LUC directories!");
}

}  // namespace
}  // namespace tilbo
