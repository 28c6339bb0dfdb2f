// The real ctgtilbo binary run unattended, in temporary directories.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "ctg/CTGSynth.h"
#include "suite/IniAccess.h"
#include "support/CTGTestFiles.h"
#include "support/SuiteEnvironment.h"

extern char** environ;

namespace tilbo {
namespace {

using namespace tilbo::testing;

struct RunResult {
  int status = -1;
  std::string err;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start) + "<no line end>");
  return lines;
}

class AutoConvert : public ::testing::Test {
 protected:
  void SetUp() override {
    SynthOptions o;
    o.south = 40.3;
    o.west = -105.4;
    o.height = 0.2;
    o.width = 0.2;
    o.title = "SMALLTOWN, CO 1:250,000 QUAD LU";
    o.pattern = SynthPattern::kHash;
    source_ = data_.file("smalltown.ctg");
    ASSERT_TRUE(WriteSynthCTG(o, source_).ok);
    std::filesystem::create_directories(out_.path());
  }

  RunResult Run(const std::vector<std::string>& args, const char* tool = "ctgtilbo") {
    const std::string program = std::string(TILBO_BINARY_DIR) + "/" + tool;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string errPath = data_.file("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    RunResult r;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
      int status = 0;
      waitpid(pid, &status, 0);
      r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    r.err = ReadWholeFile(errPath);
    return r;
  }

  std::string Log() { return ReadWholeFile(log_); }
  std::string DefaultsIni() { return env_.home.file("QMDEFAULTS.INI"); }
  bool OptionsSaved() { return ReadINI("CTG Tilbo Settings", "Last CTG File", "<none>", DefaultsIni()) != "<none>"; }

  SuiteEnvironment env_;
  ScopedEnv numbers_{"LC_ALL", "C"};  // the log's percentages use the locale's decimal mark
  TempDir data_, out_;
  std::string source_;
  std::string log_ = data_.file("auto.log");
};

// The log's every line is checked in-process (tests/conversion); here the
// real program: its exit status, its files and a quiet standard error.
TEST_F(AutoConvert, ASuccessfulRunConvertsAndLogs) {
  const RunResult r = Run({"/AUTO", "/SOURCE=" + source_, "/DEST=" + out_.dir(), "/LOG=" + log_});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");  // standard error is no terminal: no progress line
  const auto lines = Lines(Log());
  ASSERT_GE(lines.size(), 10u) << Log();
  EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(\[CTGTilbo AutoConvert started \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\])")))
      << lines[0];
  EXPECT_EQ(lines[4], "   File title: SMALLTOWN, CO 1:250,000 QUAD LU");
  EXPECT_EQ(lines[6], "      L10540NW.LUC (No conflicts.)");
  EXPECT_EQ(lines[lines.size() - 2], "   Source file successfully converted.");
  EXPECT_TRUE(std::filesystem::exists(out_.file("L10540NW.LUC")));
  EXPECT_TRUE(OptionsSaved());
}

TEST_F(AutoConvert, WithoutALogNothingIsConvertedAndNothingSaved) {
  RunResult r = Run({"/AUTO", "/SOURCE=" + source_, "/DEST=" + out_.dir()});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "ctgtilbo: There was no log file specified.  In order to run AutoConvert, you must specify a log file.\n");
  EXPECT_TRUE(std::filesystem::is_empty(out_.path()));
  EXPECT_FALSE(OptionsSaved());

  r = Run({"/auto", "/SOURCE=" + source_, "/DEST=" + out_.dir(), "/LOG=" + data_.file("missing/auto.log")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "ctgtilbo: The directory specified for the AutoConvert log file was invalid.  The program could not "
            "convert the source file.\n");
  EXPECT_TRUE(std::filesystem::is_empty(out_.path()));
}

TEST_F(AutoConvert, AMissingSourceIsLoggedAndTheOptionsAreNotSaved) {
  const RunResult r = Run({"/AUTO", "/SOURCE=" + data_.file("nothing"), "/DEST=" + out_.dir(), "/LOG=" + log_});
  EXPECT_EQ(r.status, 1);
  const auto lines = Lines(Log());
  ASSERT_EQ(lines.size(), 7u) << Log();
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.end()),
            (std::vector<std::string>{"   Invalid source file.", "   Source file not converted.", ""}));
  EXPECT_FALSE(OptionsSaved());

  Run({"/AUTO", "/SOURCE=" + source_, "/DEST=" + data_.file("nowhere/"), "/LOG=" + log_});
  EXPECT_EQ(Lines(Log())[11], "   Invalid destination directory.");
}

TEST_F(AutoConvert, ASourceThatIsNotCTGIsLogged) {
  WriteWholeFile(data_.file("notes.txt"), std::string(1000, 'x'));
  const RunResult r = Run({"/AUTO", "/SOURCE=" + data_.file("notes.txt"), "/DEST=" + out_.dir(), "/LOG=" + log_});
  EXPECT_EQ(r.status, 1);
  const auto lines = Lines(Log());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.end()),
            (std::vector<std::string>{"   Source file not valid CTG file.", "   Source file not converted.", ""}));
  EXPECT_TRUE(OptionsSaved());  // the run reached its end
  // The terminal learns what failed and where the log is.
  EXPECT_EQ(r.err, "ctgtilbo: " + data_.file("notes.txt") + " not converted: Source file not valid CTG file. (log: " +
                       log_ + ")\n");
}

// Damaged copies of the real quadrangle through both programs: the log as
// always, and what is added goes to standard error and the exit status.
TEST_F(AutoConvert, DamagedSourcesFailOrWarnOnStandardError) {
  const std::string lewiston = ReadWholeFile(GunzipSample(data_, "LEWISTON_grid_cell.gz"));
  const std::string unknown = " not converted: Unknown error in ReadCTGFile. (log: " + log_ + ")\n";
  const struct {
    std::string bytes;
    int status;
    std::string err, verdict, luctoolErr;
  } cases[] = {
      {std::string(lewiston).replace(160, 10, "   9E90000"), 1, unknown, "not converted.", "no tile can be planned"},
      {std::string(lewiston).replace(230, 10, "   1E50000"), 1, unknown, "not converted.", "no tile can be planned"},
      {lewiston.substr(0, 20480), 3,
       " is cut short: it holds 251 of the 442032 data records its header declares; the tiles lack the missing "
       "cells (exit status 3)\n",
       "successfully converted.", "cut short: the file holds 251 of the 442032 data records"}};
  for (const auto& c : cases) {
    const std::string path = data_.file("damaged.ctg");
    WriteWholeFile(path, c.bytes);
    std::filesystem::remove(log_);
    std::filesystem::remove(DefaultsIni());
    const RunResult r = Run({"/AUTO", "/SOURCE=" + path, "/DEST=" + out_.dir(), "/LOG=" + log_});
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, "ctgtilbo: " + path + c.err);
    EXPECT_TRUE(Log().ends_with("   Source file " + c.verdict + "\r\n\r\n")) << Log();
    EXPECT_TRUE(OptionsSaved());  // the unload step ran
    const RunResult info = Run({"info", path}, "luctool");
    EXPECT_EQ(info.status, c.status);
    EXPECT_NE(info.err.find("luctool: " + path + ": " + c.luctoolErr), std::string::npos) << info.err;
  }
}

TEST_F(AutoConvert, LogExcludedWritesTheExcludedPointsLogBesideTheSource) {
  const RunResult r = Run({"/AUTO", "/LE", "/SOURCE=" + source_, "/DEST=" + out_.dir(), "/LOG=" + log_});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string excluded = data_.file("SMALLTOWN, CO.txt");
  EXPECT_NE(Log().find("   Logging excluded points to " + excluded + ".\r\n"), std::string::npos);
  const std::string text = ReadWholeFile(excluded);
  EXPECT_EQ(text.rfind("[Excluded Points for SMALLTOWN, CO 1:250,000 QUAD LU (Conversion Beginning ", 0), 0u);
  EXPECT_NE(text.find("   Files to create and write to:\r\n      L10540NW.LUC (No conflicts.)\r\n"), std::string::npos);
}

TEST_F(AutoConvert, ADestinationWithoutTrailingSlashPrefixesTheTileNames) {
  const std::string dest = out_.path().string();  // no trailing "/"
  const RunResult r = Run({"/AUTO", "/SOURCE=" + source_, "/DEST=" + dest, "/LOG=" + log_});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dest + "L10540NW.LUC"));
  std::filesystem::remove(dest + "L10540NW.LUC");
}

TEST_F(AutoConvert, SavedOptionsSurviveARun) {
  WriteWholeFile(DefaultsIni(),
                 "[CTG Tilbo Settings]\r\nDelete Old=Yes\r\nOverwrite Existing=Yes\r\nLog Excluded=No\r\n"
                 "Use Existing Files=Yes\r\nCreate New Files=No\r\n");
  const RunResult r = Run({"/AUTO", "/SOURCE=" + source_, "/DEST=" + out_.dir(), "/LOG=" + log_});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
           {"Delete Old", "Yes"}, {"Overwrite Existing", "Yes"}, {"Log Excluded", "No"},
           {"Use Existing Files", "Yes"}, {"Create New Files", "No"}, {"Last CTG File", source_}}) {
    EXPECT_EQ(ReadINI("CTG Tilbo Settings", key, "", DefaultsIni()), value) << key;
  }
  EXPECT_TRUE(std::filesystem::exists(source_));  // AutoConvert never deletes the source
}

TEST_F(AutoConvert, HelpVersionAndBadUsage) {
  EXPECT_EQ(Run({"--help"}).status, 0);
  EXPECT_EQ(Run({"--version"}).status, 0);
  const RunResult bad = Run({"/AUTO", "--sauce=x"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "ctgtilbo: unknown option '--sauce=x' (see ctgtilbo --help)\n");
}

}  // namespace
}  // namespace tilbo
