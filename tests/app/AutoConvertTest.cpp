// ctgtilbo run unattended, in temporary directories: in-process, and as the
// real binary where a process of its own is the point (signals, parallel runs).

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "synth/CTGSynth.h"
#include "ctgtilbo/Ctgtilbo.h"
#include "suite/IniAccess.h"
#include "support/CTGTestFiles.h"
#include "support/LuctoolRun.h"
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

// A quadrangle in the one-degree cell of L10540NW.LUC, and of L10440NW.LUC
// when it is wider than 0.4 degrees.
SynthOptions Quadrangle(double size, const std::string& title, uint64_t seed = 1) {
  SynthOptions o;
  o.south = 40.3;
  o.west = -105.4;
  o.height = size;
  o.width = size;
  o.title = title;
  o.seed = seed;
  o.pattern = seed == 1 ? SynthPattern::kHash : SynthPattern::kPatches;
  return o;
}

// The lines in order, their dates and times (which differ from run to run) masked.
std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines = Lines(std::regex_replace(text, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"), ""));
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Every file of a directory by name, with a hash of its bytes.
std::map<std::string, std::size_t> Files(const std::filesystem::path& dir) {
  std::map<std::string, std::size_t> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    files[entry.path().filename().string()] = std::hash<std::string>{}(ReadWholeFile(entry.path().string()));
  }
  return files;
}

class AutoConvert : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = data_.file("smalltown.ctg");
    ASSERT_TRUE(WriteSynthCTG(Quadrangle(0.2, "SMALLTOWN, CO 1:250,000 QUAD LU"), source_).ok);
    std::filesystem::create_directories(out_.path());
  }

  // Starts the real program, its standard error going to `errPath`; returns its process id.
  pid_t Start(const std::vector<std::string>& args, const std::string& errPath) {
    const std::string program = std::string(TILBO_BINARY_DIR) + "/ctgtilbo";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  // The real program's exit status (-1 when a signal ended it) and standard error.
  static RunResult Finish(pid_t pid, const std::string& errPath) {
    int status = 0;
    const bool exited = pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status);
    return {exited ? WEXITSTATUS(status) : -1, ReadWholeFile(errPath)};
  }

  // The program in-process.
  static RunResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), "ctgtilbo");
    std::ostringstream out, err;
    return {RunCtgtilbo(args, out, err, Environment{}), err.str()};  // in order: a braced list
  }

  std::string Log() { return ReadWholeFile(log_); }
  // What runs left in the program's directory besides its settings and their locks.
  std::vector<std::string> Leftovers() {
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(env_.home.path())) {
      const std::string name = entry.path().filename().string();
      if (!name.ends_with(".INI") && !name.ends_with(".lock")) left.push_back(name);
    }
    return left;
  }
  std::string DefaultsIni() { return env_.home.file("QMDEFAULTS.INI"); }
  bool OptionsSaved() { return ReadINI("CTG Tilbo Settings", "Last CTG File", "<none>", DefaultsIni()) != "<none>"; }

  SuiteEnvironment env_;
  ScopedEnv numbers_{"LC_ALL", "C"};  // the log's percentages use the locale's decimal mark
  TempDir data_, out_;
  std::string source_;
  std::string log_ = data_.file("auto.log");
};

// The log's every line is checked in tests/shell; here the program: its exit
// status, its files and a quiet standard error.
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

// The log keeps its text; standard error names the file and, when it is easy
// to tell, what it is instead.
TEST_F(AutoConvert, ASourceThatIsNotCTGIsLoggedAndTheTerminalSaysWhatItIs) {
  std::filesystem::create_directories(data_.file("folder"));
  const std::string lucTile = "QMLULC 1.0" + std::string(2000, '\0');
  const struct {
    const char* name;
    std::string bytes;  // nothing written for the folder
    const char* logLine;
    const char* terminal;
  } cases[] = {
      {"notes.txt", std::string(1000, 'x'), "   Source file not valid CTG file.", ""},
      {"grid_cell.bz2", "BZh91AY&SY" + std::string(900, 'b'), "   Source file not valid CTG file.",
       " It is bzip2-compressed; decompress it first (bunzip2)."},
      {"grid_cell.xz", std::string("\xfd" "7zXZ\0", 6) + std::string(900, 'x'), "   Source file not valid CTG file.",
       " It is xz-compressed; decompress it first (unxz)."},
      {"grid_cell.zip", "PK\x03\x04" + std::string(900, 'z'), "   Source file not valid CTG file.",
       " It is a zip archive; extract the CTG file from it first (unzip)."},
      {"empty", "", "   Source file not valid CTG file.", " It is an empty file."},
      {"L07044NW.LUC", lucTile, "   Source file not valid CTG file.",
       " It is a LUC tile (an output of the conversion), not a CTG source."},
      {"damaged.gz", std::string("\x1f\x8b\x08\0\0\0\0\0\0\3\x07", 11), "   Source file not valid CTG file.",
       " It is gzip-compressed, but its content is not a CTG file or the stream is damaged."},
      {"folder", "", "   Invalid source file.", " It is a directory, not a file."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = data_.file(c.name);
    if (std::string(c.name) != "folder") WriteWholeFile(path, c.bytes);
    std::filesystem::remove(log_);
    const RunResult r = Run({"/AUTO", "/SOURCE=" + path, "/DEST=" + out_.dir(), "/LOG=" + log_});
    EXPECT_EQ(r.status, 1);
    const auto lines = Lines(Log());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.end()),
              (std::vector<std::string>{c.logLine, "   Source file not converted.", ""}));
    EXPECT_TRUE(OptionsSaved());  // the run reached its end
    // The terminal learns what failed, what the file is instead, and where the log is.
    EXPECT_EQ(r.err, "ctgtilbo: " + path + " not converted: " + std::string(c.logLine).substr(3) + c.terminal +
                         " (log: " + log_ + ")\n");
  }
}

// USGS ships grid_cell.gz: converted directly it gives the tiles and log of
// the unpacked file, but for the source's name.
TEST_F(AutoConvert, TheShippedGzipConvertsAsItsContent) {
  const std::string gz = std::string(TILBO_TEST_DATA_DIR) + "/LEWISTON_grid_cell.gz";
  const std::string plain = GunzipSample(data_, "LEWISTON_grid_cell.gz");
  std::vector<std::vector<std::string>> logs;
  std::vector<std::string> tiles;
  for (const std::string& source : {plain, gz}) {
    const std::string dest = out_.file(std::to_string(tiles.size())) + "/";
    std::filesystem::create_directories(dest);
    std::filesystem::remove(log_);
    const RunResult r = Run({"/AUTO", "/SOURCE=" + source, "/DEST=" + dest, "/LOG=" + log_});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = Lines(Log());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "   Source File = " + source);
    lines.erase(lines.begin(), lines.begin() + 3);  // the start time, the source, the destination
    logs.push_back(lines);
    tiles.push_back(ReadWholeFile(dest + "L07144NW.LUC") + ReadWholeFile(dest + "L07044NW.LUC"));
  }
  EXPECT_EQ(logs[0], logs[1]);
  EXPECT_GT(tiles[0].size(), 900000u);
  EXPECT_TRUE(tiles[0] == tiles[1]);  // a million bytes: no printing
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
    const LuctoolResult info = RunTool({"info", path});
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

TEST_F(AutoConvert, FourRunsAtOnceMakeTheTilesOfLoneRunsAndLoseNothing) {
  // Three sources in the same one-degree cells, so that every run needs the
  // same temporary names; the first is converted twice at once.
  std::vector<std::string> sources{source_, data_.file("town2.ctg"), data_.file("town3.ctg")};
  ASSERT_TRUE(WriteSynthCTG(Quadrangle(0.5, "TOWN 2 1:250,000", 2), sources[1]).ok);
  ASSERT_TRUE(WriteSynthCTG(Quadrangle(0.5, "TOWN 3 1:250,000", 3), sources[2]).ok);
  const std::string excluded = data_.file("SMALLTOWN, CO.txt");  // the first source's
  const auto args = [&](std::size_t source, const TempDir& dest) {
    return std::vector<std::string>{"/AUTO", "/LE", "/SOURCE=" + sources[source], "/DEST=" + dest.dir(), "/LOG=" + log_};
  };
  const auto iniKeys = [&] { return std::regex_replace(ReadWholeFile(DefaultsIni()), std::regex("Last CTG File=.*"), ""); };
  std::vector<TempDir> lone(3), dest(4);
  for (std::size_t i = 0; i < 3; ++i) ASSERT_EQ(Run(args(i, lone[i])).status, 0);
  const std::string loneExcluded = ReadWholeFile(excluded), loneIni = iniKeys();
  for (const std::string& file : {excluded, DefaultsIni(), log_}) std::filesystem::remove(file);

  const std::size_t sourceOf[4] = {0, 0, 1, 2};
  std::vector<pid_t> runs;
  for (std::size_t k = 0; k < 4; ++k) runs.push_back(Start(args(sourceOf[k], dest[k]), data_.file("err" + std::to_string(k))));
  for (std::size_t k = 0; k < 4; ++k) {
    const RunResult r = Finish(runs[k], data_.file("err" + std::to_string(k)));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Files(dest[k].path()), Files(lone[sourceOf[k]].path())) << "run " << k;
  }
  EXPECT_EQ(iniKeys(), loneIni);
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});
  // Lines appended by several runs at once stay whole.
  EXPECT_EQ(SortedLines(ReadWholeFile(excluded)), SortedLines(loneExcluded + loneExcluded));
  const std::vector<std::string> log = Lines(Log());
  EXPECT_EQ(std::count(log.begin(), log.end(), "   Source file successfully converted."), 4);
  for (const std::string& line : log) {
    EXPECT_TRUE(line.empty() || line.starts_with("   ") || std::regex_match(line, std::regex(R"(\[CTGTilbo .*\.\])")))
        << line;
  }
}

TEST_F(AutoConvert, AFolderOfQuadranglesConvertsFourAtATime) {
  // The README's command line, run as a user runs it.
  std::filesystem::create_directories(data_.path() / "quads");
  std::filesystem::create_directories(data_.path() / "tiles");
  for (int k = 0; k < 4; ++k) {
    SynthOptions o = Quadrangle(0.2, "QUAD " + std::to_string(k) + " 1:250,000");
    o.south += k;
    ASSERT_TRUE(WriteSynthCTG(o, data_.file("quads/q" + std::to_string(k))).ok);
  }
  const std::string command = "cd '" + data_.dir() + "' && PATH='" + TILBO_BINARY_DIR +
                              "':\"$PATH\" && ls quads/* | xargs -P4 -I{} ctgtilbo /AUTO /LE /SOURCE={} "
                              "/DEST=tiles/ /LOG=convert.log";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(Files(data_.path() / "tiles").size(), 4u);  // L10540NW.LUC to L10543NW.LUC
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});
}

TEST_F(AutoConvert, ASignalEndsTheRunAndLeavesTheDestinationAsItWas) {
  SynthOptions o = Quadrangle(0.9, "BIGTOWN 1:250,000", 2);
  o.cellSize = 100;
  ASSERT_TRUE(WriteSynthCTG(o, data_.file("big.ctg")).ok);
  const std::string excluded = data_.file("BIGTOWN.txt"), err = data_.file("stderr.txt");
  const auto logged = [&] {
    std::error_code ec;
    const auto size = std::filesystem::file_size(excluded, ec);
    return ec ? 0 : size;
  };
  WriteWholeFile(out_.file("L10540NW.LUC"), "the tile that was there");
  const auto tiles = Files(out_.path());
  for (const std::string name : {"SIGINT", "SIGTERM", "SIGKILL"}) {
    const int signal = name == "SIGINT" ? SIGINT : name == "SIGTERM" ? SIGTERM : SIGKILL;
    const auto before = logged();
    const pid_t pid = Start({"/AUTO", "/LE", "/SOURCE=" + data_.file("big.ctg"), "/DEST=" + out_.dir(), "/LOG=" + log_}, err);
    // Midway through the copy: the excluded points have begun to reach their log.
    for (int wait = 0; wait < 6000 && logged() <= before; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(::kill(pid, signal), 0);
    const RunResult r = Finish(pid, err);
    EXPECT_EQ(Files(out_.path()), tiles) << name;
    if (signal == SIGKILL) {
      // What the killed run left behind disturbs no later run, which removes it.
      EXPECT_EQ(r.status, -1);
      EXPECT_EQ(Run({"/AUTO", "/SOURCE=" + source_, "/DEST=" + data_.dir(), "/LOG=" + log_}).status, 0);
    } else {
      EXPECT_EQ(r.status, 128 + signal);
      EXPECT_EQ(r.err, "ctgtilbo: run interrupted by " + name + "; the source was not converted\n");
      EXPECT_TRUE(Log().ends_with("   Conversion process canceled by user.\r\n"
                                  "   Source file not successfully converted.\r\n\r\n"));
      EXPECT_TRUE(ReadWholeFile(excluded).ends_with("\r\n"));
    }
    EXPECT_EQ(Leftovers(), std::vector<std::string>{}) << name;
  }
}

TEST_F(AutoConvert, TheRunLeavesTheWindowPositionAndAReadOnlyIniAsTheyWere) {
  struct Case {
    std::string ini, left, top;  // no settings yet, or these; frmMain-X and -Y after the run
    mode_t mode;
  } cases[] = {
      {"", "none", "none", 0644},
      {"[CONFIG]\r\nfrmMain-X=5000\r\nfrmMain-Y=5000\r\n", "5000", "5000", 0644},
      {"[CONFIG]\r\nfrmMain-X=640.5\r\n[CTG Tilbo Settings]\r\nLog Excluded=Yes\r\n", "640.5", "none", 0444},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(DefaultsIni());
    if (!c.ini.empty()) {
      WriteWholeFile(DefaultsIni(), c.ini);
      ASSERT_EQ(::chmod(DefaultsIni().c_str(), c.mode), 0);
    }
    EXPECT_EQ(Run({"/AUTO", "/SOURCE=" + source_, "/DEST=" + out_.dir(), "/LOG=" + log_}).status, 0);
    EXPECT_EQ(ReadINI("CONFIG", "frmMain-X", "none", DefaultsIni()), c.left);
    EXPECT_EQ(ReadINI("CONFIG", "frmMain-Y", "none", DefaultsIni()), c.top);
    EXPECT_TRUE(c.mode != 0444 || ReadWholeFile(DefaultsIni()) == c.ini);  // not even the options written
  }
}

TEST_F(AutoConvert, HelpVersionAndBadUsage) {
  for (const char* flag : {"--help", "--version"}) EXPECT_EQ(Run({flag}).status, 0);
  const RunResult bad = Run({"/AUTO", "--sauce=x"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "ctgtilbo: unknown option '--sauce=x' (see ctgtilbo --help)\n");
}

}  // namespace
}  // namespace tilbo
