#include "SourceRoad.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "shell/HeadlessHost.h"
#include "ctg/CTGFile.h"
#include "luctool/Luctool.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "shell/AutoConvertReport.h"
#include "shell/TilePlan.h"
#include "shell/frmMain.h"
#include "suite/ActiveProcedures.h"
#include "suite/SuiteConfig.h"
#include "suite/TechLog.h"

namespace tilbo::fuzz {
namespace {

namespace fs = std::filesystem;

// A conversion is walked only while it stays small, so that an input costs
// milliseconds: tiles of a few ten thousand cells, a few thousand records.
constexpr int16_t kMinConvertedCellSize = 500;  // metres
constexpr int64_t kMaxConvertedRecords = 4096;
constexpr std::size_t kMaxConvertedTiles = 4;

// Points outside the planned tiles go to existing tiles (direct I/O mode);
// no excluded-points log, whose name comes from the file's title.
constexpr const char* kUserDefaults =
    "[System Units]\r\nCoord Fmt=DDD.dddd\r\n"
    "[CTG Tilbo Settings]\r\nUse Existing Files=Yes\r\nCreate New Files=No\r\nLog Excluded=No\r\n";

void Check(bool condition, const char* promise) {
  if (condition) return;
  std::fprintf(stderr, "source road: broken promise: %s\n", promise);
  std::abort();
}

class SilentPrompter final : public Prompter {
 public:
  void ShowMessage(MessageIcon, const std::string&, const std::string&) override {}
  Reply Ask(MessageIcon, const std::string&, const std::string&, Reply defaultReply) override { return defaultReply; }
};

// The window layer of Browse: the open-file dialog picks the source.
class BrowseHost final : public HeadlessHost {
 public:
  explicit BrowseHost(std::string source) : source_(std::move(source)) {}
  std::optional<std::string> ChooseSourceFile(const std::string&, const std::string&, const std::string&) override {
    return source_;
  }

 private:
  std::string source_;
};

// The program's, Windows and suite directories, the source's folder and the
// destination, in one scratch tree that lives as long as the process.
struct Scratch {
  fs::path root, home, windows, suite, data, dest;
  Scratch() {
    // Memory-backed when there is such a place: every input rewrites files.
    std::string pattern = fs::is_directory("/dev/shm") ? "/dev/shm/tilbo-road-XXXXXX" : "/tmp/tilbo-road-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    root = pattern;
    for (auto [dir, name] : {std::pair{&home, "home"}, {&windows, "windows"}, {&suite, "suite"}, {&data, "data"},
                             {&dest, "dest"}}) {
      *dir = root / name;
      fs::create_directory(*dir);
    }
    setenv("CTGTILBO_HOME", home.c_str(), 1);
    setenv("CTGTILBO_WINDOWS_DIR", windows.c_str(), 1);
    setenv("CTGTILBO_SUITE_DIR", suite.c_str(), 1);
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  std::string source() const { return (data / "source.ctg").string(); }
  std::string ini() const { return (windows / "QMDEFAULTS.INI").string(); }
  std::string log() const { return (root / "autoconvert.log").string(); }
};

Scratch& Dirs() {
  static Scratch scratch;
  return scratch;
}

void ResetModules() {
  CTG_ResetModuleForTesting();
  LRR_ResetModuleForTesting();
  ResetConfigForTesting();
  ResetTechLogForTesting();
  ClearActiveProcedures();
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void DescribeWithLuctool(const std::string& source) {
  for (const char* format : {"", "--json"}) {
    std::vector<const char*> argv{"luctool", "info", source.c_str()};
    if (*format != '\0') argv.push_back(format);
    std::ostringstream out, err;
    const int status = luctool::RunLuctool(static_cast<int>(argv.size()), argv.data(), out, err);
    Check(status == 0 || status == 1 || status == 3, "luctool info exits 0, 1 or 3");
    Check(status == 0 || !err.str().empty(), "luctool info says why it did not exit 0");
  }
}

void ChooseWithBrowse(const Scratch& dirs) {
  ResetModules();
  SilentPrompter prompter;
  NullEventPump pump;
  BrowseHost host(dirs.source());
  frmMain main(prompter, pump, host, CommandLine({"/INI=" + dirs.ini()}));
  main.Load();
  main.cmdBrowse_Click();
  if (main.CurrentFile == 1) {
    Check(!main.PlannedFiles.empty() && main.HandleHeld, "a read file has a plan and a handle");
    if (frmBrowseRecords* browser = main.RecordBrowser()) {
      browser->cmdNext_Click();
      browser->cmdEnd_Click();
    }
  } else {
    Check(main.PlannedFiles.empty() && main.lblTitle.empty() && !main.HandleHeld,
          "a failed read leaves the window without a file");
  }
  main.Unload();
}

// Whether an AutoConvert run of the file ends in milliseconds: it fails
// before converting, or converts a few small tiles.
bool ConversionStaysSmall(std::string_view bytes) {
  const std::optional<CTGHeader> header = DecodeCTGHeader(bytes);
  if (!header) return true;
  const std::vector<PlannedFile> plan = PlanTiles(*header, "");
  if (plan.empty()) return true;
  const bool smallTiles = header->CellSize <= 0 || header->CellSize >= kMinConvertedCellSize;
  return smallTiles && plan.size() <= kMaxConvertedTiles && header->RecordCountTimes2 / 2 <= kMaxConvertedRecords;
}

void ConvertUnattended(const Scratch& dirs) {
  ResetModules();
  std::error_code ec;
  for (const fs::path& dir : {dirs.dest, dirs.home}) {
    for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path(), ec);
  }
  fs::remove(dirs.log(), ec);

  SilentPrompter prompter;
  NullEventPump pump;
  HeadlessHost host;
  frmMain main(prompter, pump, host,
               CommandLine({"/AUTO", "/SOURCE=" + dirs.source(), "/DEST=" + dirs.dest.string() + "/",
                            "/LOG=" + dirs.log(), "/INI=" + dirs.ini()}));
  main.Load();
  const int status = main.RunAutoConvert();
  Check(status == kExitConverted || status == kExitNotConverted || status == kExitConvertedShortSource,
        "AutoConvert exits 0, 1 or 3");
  Check(ReadFile(dirs.log()).ends_with("\r\n\r\n"), "the log ends with the run's closing blank line");
  const AutoConvertOutcome& outcome = main.AutoConvertResult;
  Check(status != kExitNotConverted || !outcome.reason.empty(), "a run that failed knows why");
  for (const std::string& tile : outcome.tilesWritten) Check(fs::is_regular_file(tile), "written tiles exist");
  AutoConvertReportLines(outcome, status, true);
  for (const auto& entry : fs::recursive_directory_iterator(dirs.home)) {
    const std::string name = entry.path().filename().string();
    Check(name.ends_with(".INI") || name.ends_with(".lock"), "no temporary tile or run folder is left behind");
  }
}

}  // namespace

void WalkSourceRoad(std::string_view bytes) {
  const Scratch& dirs = Dirs();
  SilentPrompter prompter;
  SetActivePrompter(&prompter);
  WriteFile(dirs.source(), bytes);
  WriteFile(dirs.ini(), kUserDefaults);
  DescribeWithLuctool(dirs.source());
  ChooseWithBrowse(dirs);
  if (ConversionStaysSmall(bytes)) ConvertUnattended(dirs);
  ResetModules();
  SetActivePrompter(nullptr);
}

}  // namespace tilbo::fuzz
