#include "shell/frmMain.h"

#include <filesystem>

#include "conversion/frmConversion.h"
#include "coords/SysUnits.h"
#include "ctg/CTGFile.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "shell/SavedOptions.h"
#include "shell/SourceDescription.h"
#include "shell/TilePlan.h"
#include "suite/ActiveProcedures.h"
#include "suite/IniAccess.h"
#include "suite/NumberFormat.h"
#include "suite/NumericValue.h"
#include "suite/Regional.h"
#include "suite/Rounding.h"
#include "suite/SettleDefaultsIni.h"
#include "suite/SuiteConfig.h"
#include "suite/TechLog.h"
#include "suite/TextUtil.h"
#include "suite/Version.h"

namespace tilbo {
namespace {

constexpr int kStartupLogLevel = 1100;
constexpr double kDesignPosition = -88;  // below 1: the window's design position is the default
constexpr const char* kPositionPrefix = " ";
constexpr const char* kBareUserDefaultsIni = "QMconfig.InI";
constexpr const char* kOpenDialogTitle = "Open USGS CTG File";
constexpr const char* kOpenDialogFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
constexpr const char* kDatabaseDriver = "C:\\WINDOWS\\SYSTEM\\xbs110.dll";

std::string UserDefaultsIni() { return Config().userDefaultsIniPath; }

bool ReadOption(const SavedOption& option) {
  return OptionTicked(ReadINI(kSettingsSection, option.key, option.defaultValue, UserDefaultsIni()));
}

// The suite's shared start-up: configuration files, regional check, support log.
void SuiteStartUp(const CommandLine& commandLine) {
  ClearActiveProcedures();
  SuiteConfig& config = Config();
  config.userDefaultsIniPath = kBareUserDefaultsIni;
  config.techSupportLogLevel =
      SaturateToInt<int16_t>(NumericValue(ReadINI("Config", "Tech Support Log", "0", config.userDefaultsIniPath)));

  config.userDefaultsIniPath = kBareUserDefaultsIni;
  const std::string iniArgument = commandLine.getCommandArg("/INI=", "/");
  if (LenTrim(iniArgument) > 0) {
    config.userDefaultsIniPath = iniArgument;
  } else {
    SettleUserDefaultsIni(true);
  }
  WriteLogAtLevel("INI Config File " + config.userDefaultsIniPath, kStartupLogLevel);

  CheckRegionalSettings();

  // Database-driver entries the suite's other programs rely on.
  const std::string path = config.userDefaultsIniPath;
  const std::string deleted = ReadINI("dBase ISAM", "Deleted", "", path);
  WriteLogAtLevel("dBase ISAM " + deleted, kStartupLogLevel);
  if (ToUpperAscii(deleted) != "ON") {
    for (const char* key : {"FoxPro 2.0", "FoxPro 2.5", "dBASE III", "dBASE IV"}) {
      WriteINI("Installable ISAMs", key, kDatabaseDriver, path);
    }
    WriteINI("dBase ISAM", "Deleted", "On", path);
    WriteLogAtLevel("Write new INI ", kStartupLogLevel);
  }

  config.debugLevel = SaturateToInt<int16_t>(NumericValue(ReadINI("CONFIG", "DEBUG", "0", path)));
  WriteLogAtLevel("Version " + std::to_string(kVersionMajor) + "." + FormatPicture(kVersionMinor, "00") + "." +
                      FormatPicture(kVersionRevision, "00"),
                  kStartupLogLevel);
  EnsureLog();

  getSysUnits();
  GetSuiteIniPath();
}

}  // namespace

frmMain::frmMain(Prompter& prompter, EventPump& pump, MainWindowHost& host, CommandLine commandLine)
    : prompter_(prompter), pump_(pump), host_(host), commandLine_(std::move(commandLine)) {}

frmMain::~frmMain() = default;

void frmMain::Load() {
  SuiteStartUp(commandLine_);
  ResetMainWindow();
  RestoreFormLoc(placement, kDesignPosition, kDesignPosition, kPositionPrefix, UserDefaultsIni(), host_.Screen());
  ApplySavedOptions();
  SourcePath = ReadINI(kSettingsSection, kOptionLastCTGFile.key, kOptionLastCTGFile.defaultValue, UserDefaultsIni());

  LRR_ReadDirectories();
  const int32_t error = LRR_LastError();
  if (error != kLRRNoError && !commandLine_.HasAutoSwitch()) {
    prompter_.ShowMessage(MessageIcon::Critical,
                          "There was an error reading the LUC directories list.  (Error " + std::to_string(error) +
                              ", " + LRR_ErrorText(error) + ")",
                          kProgramTitle);
    if (error == kLRRUnknownError) {
      const LRRFailure failure = LRR_LastFailure();
      prompter_.ShowMessage(MessageIcon::Critical,
                            "The system returned the error " + std::to_string(failure.Number) + " (" +
                                failure.Description + ").",
                            kProgramTitle);
    }
    LRR_ResetError();
    chkUseExisting = {false, false};
    chkCreateNew = {false, false};
  } else {
    cboDirectories.items.clear();
    for (int16_t i = 1; i <= LRR_GetDirectoryCount(); ++i) cboDirectories.items.push_back(LRR_GetDirectory(i));
    if (!cboDirectories.items.empty()) {
      cboDirectories.selected = 0;
      cboDirectories_Change(cboDirectories.items[0]);
    }
  }
  LRR_ReleaseDirectories();
}

void frmMain::ApplySavedOptions() {
  for (const SavedCheckBox& saved : kSavedCheckBoxes) (this->*saved.box).ticked = ReadOption(saved.option);
  chkUseExisting_Click(chkUseExisting.ticked);
}

void frmMain::Unload() {
  if (frmBrowseRecordsIsLoaded) UnloadRecordBrowser();
  // Without windows the position read at start-up is still the one saved:
  // leaving the keys alone writes back exactly that, to the character.
  if (host_.ShowsWindows()) SaveFormLoc(placement, kPositionPrefix, UserDefaultsIni());
  const std::string path = UserDefaultsIni();
  for (const SavedCheckBox& saved : kSavedCheckBoxes) {
    if (saved.outsidePoint && !chkUseExisting.enabled) continue;
    WriteINI(kSettingsSection, saved.option.key, OptionText((this->*saved.box).ticked), path);
  }
  WriteINI(kSettingsSection, kOptionLastCTGFile.key, SourcePath, path);
  autoConvertLog_.Close();
}

bool frmMain::OpenAutoConvertLog(const std::string& path) { return autoConvertLog_.Open(path); }

void frmMain::ACLogWrite(const std::string& text, bool newLine) {
  if (AutoConvertLogOpen() && LenTrim(text) > 0) lastLogLine_ = Trim(text);
  // Each line reaches the file at once, so the log is complete even if the run dies.
  autoConvertLog_.Write(text);
  if (newLine) autoConvertLog_.Write("\r\n");
}

// --- Reading a source file and planning its tiles --------------------------

ReadResult frmMain::ReadCTGFile() {
  if (HandleHeld) {
    CTG_FreeHandle(CTGFileHandle);
    HandleHeld = false;
  }
  CTGFileHandle = CTG_AllocateHandle();
  if (CTGFileHandle == -1) return ReadResult::Failed;

  CTG_SetFileName(CTGFileHandle, SourcePath);
  CTG_Open(CTGFileHandle);
  if (const int32_t error = CTG_LastError(); error != kCTGNoError) {
    CTG_FreeHandle(CTGFileHandle);
    if (error == kCTGNotValidFile) return ReadResult::NotCTG;
    if (error == kCTGFileNotFound) return ReadResult::NotFound;
    return ReadResult::Failed;
  }
  const CTGHeader header = CTG_ReadHeader(CTGFileHandle);
  if (CTG_LastError() != kCTGNoError) {
    CTG_Close(CTGFileHandle);
    CTG_FreeHandle(CTGFileHandle);
    return ReadResult::Failed;
  }

  CTG_Close(CTGFileHandle);
  std::vector<PlannedFile> plan;
  SourceDescription frame;
  try {
    plan = PlanTiles(header, AutoConvert ? AutoConvertDestinationDir : cboDirectories.text);
    frame = DescribeOriginalFile(header);
  } catch (const std::exception&) {  // out of memory
    plan.clear();
  }
  if (plan.empty()) {
    // Corners that leave no tile (or lie off the earth): nothing to convert,
    // so the file counts as not read and the window keeps what it showed.
    CTG_FreeHandle(CTGFileHandle);
    return ReadResult::Failed;
  }
  // Nothing fails from here: the window changes all at once or not at all.
  HandleHeld = true;
  ShowOriginalFrame(std::move(frame));
  PlannedFiles = std::move(plan);
  CurrentFile = 1;
  lblCurFile = "1 of " + std::to_string(PlannedFiles.size());
  return ReadResult::Read;
}

SourceDescription frmMain::DescribeOriginalFile(const CTGHeader& header) const {
  std::error_code ec;
  const auto length = std::filesystem::file_size(SourcePath, ec);
  return DescribeSource(SourcePath, ec ? 0 : length, header);
}

void frmMain::ShowOriginalFrame(SourceDescription d) noexcept {
  lblFilename = std::move(d.Filename);
  lblDirectory = std::move(d.Directory);
  lblTitle = std::move(d.Title);
  lblLatLonQuad = std::move(d.LatLonQuad);
  lblUTMRefCorner = std::move(d.UTMRefCorner);
  lblCellSize = std::move(d.CellSize);
}

// --- Window states ----------------------------------------------------------

void frmMain::ResetMainWindow() {
  PlannedFiles.clear();
  CurrentFile = 0;
  lblFilename = "Click \"Browse\" to begin a file conversion.";
  lblDirectory.clear();
  lblTitle.clear();
  lblLatLonQuad.clear();
  lblUTMRefCorner.clear();
  lblCellSize.clear();
  lblCurFile.clear();
  lblNewFilename.clear();
  cmdNextFileEnabled = false;
  cmdPreviousFileEnabled = false;
  cboDirectories.text.clear();
  cboDirectories.enabled = false;
  cboDirectories.windowBackground = false;
  txtNewTitle.text.clear();
  txtNewTitle.enabled = false;
  txtNewTitle.windowBackground = false;
  defaultButton = DefaultButton::Browse;
  cmdDirectoriesEnabled = false;
  cmdConvertEnabled = false;
}

void frmMain::EnableNewFileControls() {
  cboDirectories.enabled = true;
  cboDirectories.windowBackground = true;
  txtNewTitle.enabled = true;
  txtNewTitle.windowBackground = true;
  cmdDirectoriesEnabled = true;
  cmdConvertEnabled = true;
  defaultButton = DefaultButton::Convert;
  ShowCurrentFile();
}

void frmMain::ShowCurrentFile() {
  const int n = static_cast<int>(PlannedFiles.size());
  if (CurrentFile < 1 || CurrentFile > n) return;
  const PlannedFile& tile = PlannedFiles[CurrentFile - 1];
  lblCurFile = std::to_string(CurrentFile) + " of " + std::to_string(n);
  lblNewFilename = tile.FileName + " (" + std::to_string(tile.Size) + " bytes)";
  // Each assignment fires the change event, which writes the same value back.
  const std::string directory = tile.Directory, title = tile.Title;
  cboDirectories_Change(directory);
  txtNewTitle_Change(title);
  cmdPreviousFileEnabled = CurrentFile != 1;
  cmdNextFileEnabled = CurrentFile != n;
}

void frmMain::ReadDirectories() {
  cboDirectories.items.clear();
  cboDirectories.selected = -1;
  LRR_ReadDirectories();
  if (LRR_LastError() != kLRRNoError) {
    prompter_.ShowMessage(MessageIcon::Critical, "There was an error while trying to read the list of LUC directories!",
                          kProgramTitle);
    return;
  }
  for (int16_t i = 1; i <= LRR_GetDirectoryCount(); ++i) cboDirectories.items.push_back(LRR_GetDirectory(i));
  if (!cboDirectories.items.empty()) {
    cboDirectories.selected = 0;
    cboDirectories_Change(cboDirectories.items[0]);
  }
  LRR_ReleaseDirectories();
}

// --- Events -----------------------------------------------------------------

void frmMain::cmdBrowse_Click() {
  const std::optional<std::string> chosen = host_.ChooseSourceFile(kOpenDialogTitle, kOpenDialogFilter, SourcePath);
  if (!chosen) return;
  SourcePath = *chosen;
  host_.SetBusyCursor(true);
  const ReadResult result = ReadCTGFile();
  host_.SetBusyCursor(false);

  if (result == ReadResult::Read) {
    EnableNewFileControls();
    StartRecordBrowser();
    return;
  }
  std::string reason;
  switch (result) {
    case ReadResult::NotCTG: reason = "not be opened because it is not a valid USGS CTG file."; break;
    case ReadResult::NotFound: reason = "not be located."; break;
    default: reason = "not be opened.  An unknown error ocurred."; break;
  }
  prompter_.ShowMessage(MessageIcon::Exclamation, "The file \"" + SourcePath + "\" could " + reason, kProgramTitle);
  ResetMainWindow();
}

void frmMain::UnloadRecordBrowser() {
  if (browser_) browser_->Unload();
  host_.CloseRecordBrowser();
}

void frmMain::StartRecordBrowser() {
  if (frmBrowseRecordsIsLoaded) UnloadRecordBrowser();
  browser_ = std::make_unique<frmBrowseRecords>(prompter_, frmBrowseRecordsIsLoaded);
  browser_->Load();
  browser_->hCTGFile = CTGFileHandle;
  browser_->RecNum = 1;
  browser_->ShowRec();
  // A file whose first cell cannot be read has closed the browser again.
  if (frmBrowseRecordsIsLoaded) host_.ShowRecordBrowser(*browser_);
}

void frmMain::cmdDirectories_Click() {
  frmDirectories picker(*this, prompter_);
  picker.Load();
  host_.ShowDirectoryPickerModal(picker);
}

void frmMain::cmdNextFile_Click() {
  ++CurrentFile;
  ShowCurrentFile();
}

void frmMain::cmdPreviousFile_Click() {
  --CurrentFile;
  ShowCurrentFile();
}

void frmMain::cboDirectories_Change(const std::string& text) {
  cboDirectories.text = text;
  if (CurrentFile != 0) PlannedFiles[CurrentFile - 1].Directory = text;
}

void frmMain::cboDirectories_LostFocus() {
  if (cboDirectories.text.empty() || cboDirectories.text.back() != '/') cboDirectories_Change(cboDirectories.text + "/");
}

void frmMain::txtNewTitle_Change(const std::string& text) {
  txtNewTitle.text = text;
  if (CurrentFile != 0) PlannedFiles[CurrentFile - 1].Title = text;
}

void frmMain::SetFiles(frmConversion& conversion) {
  if (AutoConvert) ACLogWrite("   Files to create:");
  for (const PlannedFile& tile : PlannedFiles) {
    conversion.AddFile(tile.Directory, tile.FileName, tile.RefLat, tile.RefLon, tile.Size, tile.Title);
  }
  if (AutoConvert) {
    ACLogWrite("");
    lastLogLine_.clear();  // from here on the conversion's own lines
  }
}

void frmMain::cmdConvert_Click() {
  frmConversion conversion(*this, prompter_, pump_);
  conversion.Load();
  ConvertSuccess = false;
  conversion.SetUp();
  if (!AutoConvert) host_.ShowConversionModal(conversion);
  enabled = true;

  if (!ConvertSuccess) {
    if (AutoConvert) {
      // The conversion's last line says why.
      AutoConvertResult.reason = lastLogLine_.empty() ? "the conversion failed" : lastLogLine_;
      ACLogWrite("   Source file not successfully converted.");
    }
    return;
  }
  if (AutoConvert) {
    AutoConvertResult.recordsDeclared = CTG_RecordCount(CTGFileHandle);
    AutoConvertResult.recordsHeld = CTG_RecordsHeld(CTGFileHandle);
    for (const OpenTile& tile : conversion.OpenTiles) {
      const PlannedFile& p = conversion.PlannedFiles[tile.PlannedIndex - 1];
      AutoConvertResult.tilesWritten.push_back(p.Directory + p.FileName);
    }
    CTG_Close(CTGFileHandle);
    CTG_FreeHandle(CTGFileHandle);
    ResetMainWindow();
    ACLogWrite("   Source file successfully converted.");
    return;
  }
  CTG_Close(CTGFileHandle);
  if (chkDeleteOldFile.ticked &&
      prompter_.Ask(MessageIcon::Question, "Are you sure you want to delete the original CTG file?", kProgramTitle,
                    Reply::No) == Reply::Yes) {
    const std::string source = CTG_GetFileName(CTGFileHandle);
    std::error_code ec;
    if (!std::filesystem::remove(source, ec)) {
      prompter_.ShowMessage(MessageIcon::Exclamation,
                            "The file \"" + source + "\" could not be deleted (" +
                                (ec ? ec.message() : std::string("it no longer exists")) + ").",
                            kProgramTitle);
    }
  }
  CTG_FreeHandle(CTGFileHandle);
  ResetMainWindow();
}

void frmMain::chkUseExisting_Click(bool ticked) {
  chkUseExisting.ticked = ticked;
  chkCreateNew.enabled = ticked;
}

}  // namespace tilbo
