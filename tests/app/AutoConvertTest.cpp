// ctgtilbo run unattended, in temporary directories: in-process, and as the
// real binary where a process of its own is the point (signals, parallel runs).

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#include "ctgtilbo/Ctgtilbo.h"
#include "suite/IniAccess.h"
#include "support/CTGTestFiles.h"
#include "support/SuiteEnvironment.h"
#include "synth/CTGSynth.h"

extern char** environ;

namespace tilbo {
namespace {

using namespace tilbo::testing;
using ::testing::AllOf;
using ::testing::EndsWith;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

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

// `text` with every `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
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

// Every file of a directory by name, with a hash of its bytes.
std::map<std::string, std::size_t> Files(const fs::path& dir) {
  std::map<std::string, std::size_t> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    files[entry.path().filename().string()] = std::hash<std::string>{}(ReadWholeFile(entry.path().string()));
  }
  return files;
}

class AutoConvert : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(WriteSynthCTG(Quadrangle(0.2, "SMALLTOWN, CO 1:250,000 QUAD LU"), source_).ok); }

  // Starts the real program, its standard error going to `errPath`; returns its process id.
  static pid_t Start(const std::vector<std::string>& args, const std::string& errPath) {
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
  std::vector<std::string> Args(const std::string& source, const TempDir& dest, bool logExcluded = false) {
    std::vector<std::string> args{"/AUTO", "/SOURCE=" + source, "/DEST=" + dest.dir(), "/LOG=" + log_};
    if (logExcluded) args.push_back("/LE");
    return args;
  }

  std::string Log() { return ReadWholeFile(log_); }
  // What runs left in the program's directory besides its settings and their locks.
  std::vector<std::string> Leftovers() {
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(env_.home.path())) {
      const std::string name = entry.path().filename().string();
      if (!name.ends_with(".INI") && !name.ends_with(".lock")) left.push_back(name);
    }
    return left;
  }
  std::string DefaultsIni() { return env_.home.file("QMDEFAULTS.INI"); }
  std::string LastSource() { return ReadINI("CTG Tilbo Settings", "Last CTG File", "<none>", DefaultsIni()); }

  SuiteEnvironment env_;
  ScopedEnv numbers_{"LC_ALL", "C"};  // the log's percentages use the locale's decimal mark
  TempDir data_, out_;
  std::string source_ = data_.file("smalltown.ctg");
  std::string log_ = data_.file("auto.log");
};

// Every way a run ends: its exit status, standard error, the end of its log,
// the tile it leaves and whether it reached the unload step that saves the
// options. The log of a converted run is checked line by line in the shell's
// tests; here only the line before "Source file not converted.". In the table
// {src}, {dest} and {log} stand for the paths of the run.
TEST_F(AutoConvert, EachEndOfARunHasItsStatusMessageAndLog) {
  const std::string lewiston = ReadWholeFile(GunzipSample(data_, "LEWISTON_grid_cell.gz"));
  fs::create_directories(data_.file("folder"));
  const std::vector<std::string> normal{"/AUTO", "/SOURCE={src}", "/DEST={dest}", "/LOG={log}"};
  const std::string unknown = "ctgtilbo: {src} not converted: Unknown error in ReadCTGFile. (log: {log})\n";
  const struct {
    std::string source;                // in the data directory
    std::optional<std::string> bytes;  // written to it, else left as it is
    std::vector<std::string> args;
    int status;
    std::string reason;  // the log line before "Source file not converted."
    std::string err;
    std::string tile;  // a tile written; none: {dest} stays empty
    bool optionsSaved;
  } cases[] = {
      {"smalltown.ctg", {}, normal, 0, "", "", "{dest}L10540NW.LUC", true},
      {"", {}, {"--help"}, 0, "", "", "", false},
      {"smalltown.ctg", {}, {"/AUTO", "/SOURCE={src}", "/DEST={dest}"}, 2, "",
       "ctgtilbo: There was no log file specified.  In order to run AutoConvert, you must specify a log file.\n", "",
       false},
      {"smalltown.ctg", {}, {"/auto", "/SOURCE={src}", "/DEST={dest}", "/LOG={dest}none/auto.log"}, 2, "",
       "ctgtilbo: The directory specified for the AutoConvert log file was invalid.  The program could not convert "
       "the source file.\n", "", false},
      {"", {}, {"/AUTO", "--sauce=x"}, 2, "", "ctgtilbo: unknown option '--sauce=x' (see ctgtilbo --help)\n", "", false},
      {"folder", {}, normal, 1, "   Invalid source file.",
       "ctgtilbo: {src} not converted: Invalid source file. It is a directory, not a file. (log: {log})\n", "", false},
      {"smalltown.ctg", {}, {"/AUTO", "/SOURCE={src}", "/DEST={dest}none/", "/LOG={log}"}, 1,
       "   Invalid destination directory.",
       "ctgtilbo: {src} not converted: Invalid destination directory. (log: {log})\n", "", false},
      // Not CTG: standard error adds what the file is, when that is easy to tell (a
      // tile here; the other kinds in luctool's tests).
      {"L07044NW.LUC", "QMLULC 1.0" + std::string(2000, '\0'), normal, 1, "   Source file not valid CTG file.",
       "ctgtilbo: {src} not converted: Source file not valid CTG file. It is a LUC tile (an output of the "
       "conversion), not a CTG source. (log: {log})\n", "", true},
      // Corners that plan no tile: the south-west latitude, the north-east longitude off the earth.
      {"corner1.ctg", std::string(lewiston).replace(160, 10, "   9E90000"), normal, 1,
       "   Unknown error in ReadCTGFile.", unknown, "", true},
      {"corner4.ctg", std::string(lewiston).replace(230, 10, "   1E50000"), normal, 1,
       "   Unknown error in ReadCTGFile.", unknown, "", true},
      {"cut.ctg", lewiston.substr(0, 20480), normal, 3, "",
       "ctgtilbo: {src} is cut short: it holds 251 of the 442032 data records its header declares; the tiles lack "
       "the missing cells (exit status 3)\n",
       "{dest}L07144NW.LUC", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + " " + c.args.back());
    const std::string source = data_.file(c.source);
    if (c.bytes) WriteWholeFile(source, *c.bytes);
    const auto paths = [&](const std::string& text) {
      return Replaced(Replaced(Replaced(text, "{src}", source), "{dest}", out_.dir()), "{log}", log_);
    };
    std::vector<std::string> args;
    for (const std::string& a : c.args) args.push_back(paths(a));
    const RunResult r = Run(args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, paths(c.err));
    if (c.status == 2 || c.args.size() == 1) {
      EXPECT_FALSE(fs::exists(log_));
    } else {
      EXPECT_THAT(Log(), EndsWith(c.reason.empty() ? "\r\n   Source file successfully converted.\r\n\r\n"
                                                   : "\r\n" + c.reason + "\r\n   Source file not converted.\r\n\r\n"));
    }
    EXPECT_TRUE(c.tile.empty() ? fs::is_empty(out_.path()) : fs::exists(paths(c.tile)));
    EXPECT_EQ(LastSource(), c.optionsSaved ? source : "<none>");
    std::error_code ec;
    for (const std::string& file : {log_, DefaultsIni(), paths(c.tile)}) fs::remove(file, ec);
    fs::remove_all(out_.path());
    fs::create_directory(out_.path());
  }
}

// A run without windows writes the window position back exactly as read (an
// off-screen one with a decimal mark is not moved), keeps the saved options,
// never deletes the source, and leaves a read-only settings file alone.
TEST_F(AutoConvert, TheRunLeavesTheWindowPositionTheOptionsAndAReadOnlyIniAsTheyWere) {
  const std::string position = "[CONFIG]\r\nfrmMain-X=640.5\r\nfrmMain-Y=5000\r\n";
  const std::string options = "[CTG Tilbo Settings]\r\nDelete Old=Yes\r\nOverwrite Existing=Yes\r\nLog Excluded=No\r\n"
                              "Use Existing Files=Yes\r\nCreate New Files=No\r\n";
  for (const mode_t mode : {0644, 0444}) {
    fs::remove(DefaultsIni());
    WriteWholeFile(DefaultsIni(), position + options);
    ASSERT_EQ(::chmod(DefaultsIni().c_str(), mode), 0);
    EXPECT_EQ(Run(Args(source_, out_)).status, 0);
    const std::string after = ReadWholeFile(DefaultsIni());
    EXPECT_THAT(after, AllOf(HasSubstr(position), HasSubstr(options)));
    EXPECT_TRUE(mode != 0444 || after == position + options);  // not even the last source written
    EXPECT_TRUE(fs::exists(source_));
  }
}

TEST_F(AutoConvert, ThreeRunsAtOnceMakeTheTilesOfLoneRunsAndLoseNothing) {
  // Two sources in the same one-degree cells, so that every run needs the
  // same temporary names; the first is converted twice at once.
  const std::vector<std::string> sources{source_, data_.file("town2.ctg")};
  ASSERT_TRUE(WriteSynthCTG(Quadrangle(0.5, "TOWN 2 1:250,000", 2), sources[1]).ok);
  const std::string excluded = data_.file("SMALLTOWN, CO.txt");  // the first source's
  // The lines in order, their dates and times (which differ from run to run) masked.
  const auto sortedLines = [](const std::string& text) {
    auto lines = Lines(std::regex_replace(text, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"), ""));
    std::sort(lines.begin(), lines.end());
    return lines;
  };
  const auto iniKeys = [&] { return std::regex_replace(ReadWholeFile(DefaultsIni()), std::regex("Last CTG File=.*"), ""); };
  std::vector<TempDir> lone(2), dest(3);
  for (std::size_t i = 0; i < 2; ++i) ASSERT_EQ(Run(Args(sources[i], lone[i], true)).status, 0);
  const std::string loneExcluded = ReadWholeFile(excluded), loneIni = iniKeys();
  for (const std::string& file : {excluded, DefaultsIni(), log_}) fs::remove(file);

  const std::size_t sourceOf[3] = {0, 0, 1};
  std::vector<pid_t> runs;
  const auto err = [&](std::size_t k) { return data_.file("err" + std::to_string(k)); };
  for (std::size_t k = 0; k < 3; ++k) runs.push_back(Start(Args(sources[sourceOf[k]], dest[k], true), err(k)));
  for (std::size_t k = 0; k < 3; ++k) {
    const RunResult r = Finish(runs[k], err(k));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Files(dest[k].path()), Files(lone[sourceOf[k]].path())) << "run " << k;
  }
  EXPECT_EQ(iniKeys(), loneIni);
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});
  // Lines appended by several runs at once stay whole.
  EXPECT_EQ(sortedLines(ReadWholeFile(excluded)), sortedLines(loneExcluded + loneExcluded));
  const std::vector<std::string> log = Lines(Log());
  EXPECT_EQ(std::count(log.begin(), log.end(), "   Source file successfully converted."), 3);
  for (const std::string& line : log) {
    EXPECT_TRUE(line.empty() || line.starts_with("   ") || std::regex_match(line, std::regex(R"(\[CTGTilbo .*\.\])")))
        << line;
  }
}

TEST_F(AutoConvert, ASignalEndsTheRunWith128PlusItsNumberAndLeavesTheDestinationAsItWas) {
  SynthOptions o = Quadrangle(0.9, "BIGTOWN 1:250,000", 2);
  o.cellSize = 100;
  ASSERT_TRUE(WriteSynthCTG(o, data_.file("big.ctg")).ok);
  const std::string excluded = data_.file("BIGTOWN.txt"), err = data_.file("stderr.txt");
  const auto logged = [&] { return fs::exists(excluded) ? fs::file_size(excluded) : 0; };
  WriteWholeFile(out_.file("L10540NW.LUC"), "the tile that was there");
  const auto tiles = Files(out_.path());
  for (const auto& [signal, name] : {std::pair{SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGKILL, "SIGKILL"}}) {
    SCOPED_TRACE(name);
    const auto before = logged();
    const pid_t pid = Start(Args(data_.file("big.ctg"), out_, true), err);
    // Midway through the copy: the excluded points have begun to reach their log.
    for (int wait = 0; wait < 6000 && logged() <= before; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(::kill(pid, signal), 0);
    const RunResult r = Finish(pid, err);
    EXPECT_EQ(Files(out_.path()), tiles);
    if (signal == SIGKILL) {
      // What the killed run left behind disturbs no later run, which removes it.
      EXPECT_EQ(r.status, -1);
      EXPECT_EQ(Run(Args(source_, data_)).status, 0);
    } else {
      EXPECT_EQ(r.status, 128 + signal);
      EXPECT_EQ(r.err, "ctgtilbo: run interrupted by " + std::string(name) + "; the source was not converted\n");
      EXPECT_THAT(Log(), EndsWith("   Conversion process canceled by user.\r\n"
                                  "   Source file not successfully converted.\r\n\r\n"));
      EXPECT_THAT(ReadWholeFile(excluded), EndsWith("\r\n"));
    }
    EXPECT_EQ(Leftovers(), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace tilbo
