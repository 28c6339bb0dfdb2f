#include "conversion/frmConversion.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "conversion/StagedCopy.h"
#include "ctg/CTGFile.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "suite/DateText.h"
#include "suite/Interruption.h"
#include "suite/Version.h"

namespace tilbo {
namespace {

constexpr const char* kCRLF = "\r\n";
constexpr const char* kDataSource = "Quillmarsh LLC, Tamber ID";
constexpr const char* kSkewedMark = "*";

bool FileExistsAt(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

}  // namespace

frmConversion::frmConversion(ConversionOwner& owner, Prompter& prompter, EventPump& pump)
    : owner_(owner), prompter_(prompter), pump_(pump) {}

frmConversion::~frmConversion() {
  // A window closed before its tiles were saved leaves no temporary files behind.
  if (!OpenTiles.empty() && !Finished) DiscardOpenTiles();
}

std::string frmConversion::TemporaryPath(const std::string& fileName) {
  return RunFolder::PathOfThisProcess() + fileName + " NEW";
}

void frmConversion::Load() {
  PlannedFiles.clear();
  ConflictPaths.clear();
  OpenTiles.clear();
  ExistingFilesUsed.clear();
  ExternalFilesCreated.clear();
  LogExcludedPoints = owner_.LogExcludedOption();
  Started = Finished = CancelRequested = false;
  ExcludedCount = ReadErrorCount = WrittenElsewhereCount = ZeroValueCount = 0;
  lstFiles.clear();
}

void frmConversion::SetUp() {
  LRR_ReadDirectories();
  owner_.SetFiles(*this);
  LRR_ReleaseDirectories();
  SourceHandle = owner_.SourceHandle();
  txtDirections = SelectionDirections();
  lblCurrentAction = "Selecting files to create...";
  cmdCommandCaption = "&Begin";
  if (owner_.IsAutoConvert()) {
    owner_.SetOwnerEnabled(false);
    visible = true;
    RunConversion();
  }
}

void frmConversion::AddFile(const std::string& Directory, const std::string& FileName, double RefLat, double RefLon,
                            int32_t Size, const std::string& Title) {
  PlannedFiles.push_back({FileName, Size, Directory, Title, RefLat, RefLon});
  ConflictPaths.emplace_back();
  bool tick = true;
  std::string status;
  if (FileExistsAt(Directory + FileName)) {
    status = "(Exists in directory.)";
    ConflictPaths.back() = Directory + FileName;
    if (!owner_.OverwriteOption() && !owner_.IsAutoConvert()) tick = false;
  } else if (std::string found = LRR_FindFile(RefLat, RefLon, ""); !found.empty()) {
    status = "(Exists in different directory.)";
    ConflictPaths.back() = found;
  } else {
    status = "(No conflicts.)";
  }
  const std::string row = FileName + " " + status;
  lstFiles.push_back({row, false});
  if (owner_.IsAutoConvert()) owner_.ACLogWrite("      " + row, true);
  if (tick) lstFiles.back().ticked = true;
}

void frmConversion::lstFiles_Tick(int row, bool ticked) {
  if (row >= 0 && row < static_cast<int>(lstFiles.size())) lstFiles[row].ticked = ticked;
}

void frmConversion::lstFiles_DblClick(int row) {
  if (row < 0 || row >= static_cast<int>(lstFiles.size())) return;
  const std::size_t i = static_cast<std::size_t>(row) + 1;
  lstFiles[row].ticked = !lstFiles[row].ticked;
  const std::string& conflict = ConflictPaths[i - 1];
  if (conflict.empty()) {
    prompter_.ShowMessage(MessageIcon::Information, "This file does not conflict with any other files.", kProgramTitle);
    return;
  }
  const PlannedFile& p = PlannedFiles[i - 1];
  std::error_code ec;
  const auto length = std::filesystem::file_size(conflict, ec);
  struct stat info {};
  const std::string modified = ::stat(conflict.c_str(), &info) == 0 ? GeneralDate(info.st_mtime) : "";
  const std::string dataDate = SourceDataDate();
  const std::string text = "This file, " + p.Directory + p.FileName + ", " +
                           "conflicts with an existing file.  Relevant information about " +
                           "both files is displayed below." + kCRLF + kCRLF + "New file:" + kCRLF + "\t" +
                           "Apx. size:" + "\t" + "\t" + std::to_string(p.Size) + " bytes" + kCRLF + "\t" +
                           "Data date:" + "\t" + dataDate + kCRLF + kCRLF + "Old file:" + kCRLF + "\t" + "Name:" +
                           "\t" + conflict + kCRLF + "\t" + "Size:" + "\t" + std::to_string(ec ? 0 : length) +
                           " bytes" + kCRLF + "\t" + "Date:" + "\t" + modified;
  prompter_.ShowMessage(MessageIcon::Information, text, kProgramTitle);
}

std::string frmConversion::SourceDataDate() const {
  // Before the run the main window has closed the source again after reading
  // its header; a header read needs the file open.
  if (CTG_IsOpen(SourceHandle)) return CTG_ReadHeader(SourceHandle).DataDate;
  if (!CTG_Open(SourceHandle)) return "";
  const std::string dataDate = CTG_ReadHeader(SourceHandle).DataDate;
  CTG_Close(SourceHandle);
  return dataDate;
}

void frmConversion::cmdCancel_Click() {
  if (!Started) closed = true;
}

void frmConversion::SetRow(int16_t plannedIndex, const std::string& status) {
  lstFiles[plannedIndex - 1].text = PlannedFiles[plannedIndex - 1].FileName + status;
}

void frmConversion::RunConversion() {
  if (Started && Finished) {
    closed = true;
    return;
  }
  if (Started) {
    CancelRequested = true;  // the copy loop asks for confirmation after the current record
    return;
  }
  const bool anyTicked = std::any_of(lstFiles.begin(), lstFiles.end(), [](const FileListRow& r) { return r.ticked; });
  if (!anyTicked && !owner_.UseExistingOption()) {
    prompter_.ShowMessage(MessageIcon::Information,
                          "You must select at least one of the files above to convert data "
                          "to.  If you do not want to create any of the above files, then "
                          "press the 'Cancel' button below.",
                          kProgramTitle);
    return;
  }
  if (!CTG_IsOpen(SourceHandle)) CTG_Open(SourceHandle);
  const bool auto_ = owner_.IsAutoConvert();

  Started = true;
  Success = true;
  lblCurrentAction = "Creating file(s)...";
  ShowStatus();
  pbMax = CTG_RecordCount(SourceHandle);
  cmdCommandCaption = "&Cancel";
  cmdCancelVisible = false;
  ShowStatus();
  txtDirections = RunningDirections();
  cmdCommandEnabled = false;
  if (LogExcludedPoints) OpenExcludedPointsLog();
  runFolder_ = std::make_unique<RunFolder>();
  CreateSelectedTiles();
  cmdCommandEnabled = true;
  lblCurrentAction = "Copying data...";
  ShowStatus();
  CopyRecords();
  const std::string excludedLogPath = ExcludedLog.IsOpen() ? ExcludedLog.Path() : "";
  ExcludedLog.Close();
  lblCurrentAction = "Saving data and closing files...";
  // A signal that ends the run (AutoConvert) stops it as a cancel does.
  bool interrupted = InterruptingSignal() != 0;
  if (CancelRequested || interrupted) {
    DiscardOpenTiles();
  } else {
    interrupted = !SaveOpenTiles();
  }
  runFolder_.reset();
  Finished = true;
  cmdCommandCaption = "&Close Window";
  txtDirections = FinishedDirections();
  if (CancelRequested || interrupted) Success = false;
  owner_.SetConvertSuccess(Success);

  if (CancelRequested || interrupted) {
    if (auto_) {
      // A signal ends the run as a cancel does; which signal it was goes to
      // standard error, so the log keeps its one wording.
      owner_.ACLogWrite("   Conversion process canceled by user.", true);
    } else {
      prompter_.ShowMessage(MessageIcon::None,
                            std::string("The conversion process is complete.") + kCRLF + kCRLF + "Success:" + "\t" +
                                "No (Canceled)",
                            kProgramTitle);
    }
  } else {
    RunSummary summary = Summary();
    summary.excludedLogPath = excludedLogPath;
    if (!auto_) prompter_.ShowMessage(MessageIcon::None, SummaryText(summary), kProgramTitle);
    if (auto_ && Success) {
      for (const auto& line : AutoConvertSummaryLines(summary)) owner_.ACLogWrite(line, true);
    }
  }
  if (auto_) closed = true;
}

RunSummary frmConversion::Summary() const {
  RunSummary s;
  s.success = Success;
  s.recordCount = CTG_RecordCount(SourceHandle);
  s.excluded = ExcludedCount;
  s.readErrors = ReadErrorCount;
  s.zeroValues = ZeroValueCount;
  s.writtenElsewhere = WrittenElsewhereCount;
  s.useExisting = owner_.UseExistingOption();
  s.createNew = owner_.CreateNewOption();
  s.existingFilesUsed = ExistingFilesUsed;
  s.externalFilesCreated = ExternalFilesCreated;
  for (const auto& tile : OpenTiles) s.createdTiles.push_back(PlannedFiles[tile.PlannedIndex - 1].FileName);
  return s;
}

void frmConversion::OpenExcludedPointsLog() {
  const CTGHeader header = CTG_ReadHeader(SourceHandle);
  const std::string path = ExcludedPointsLogPath(header.Title, CTG_GetFileName(SourceHandle));
  if (!ExcludedLog.Open(path)) {
    if (owner_.IsAutoConvert()) {
      owner_.ACLogWrite("   Could not create the excluded points log file.", true);
    } else {
      prompter_.ShowMessage(MessageIcon::Warning,
                            "The program could not create the excluded points log "
                            "file.  The excluded points will not be logged.",
                            kProgramTitle);
    }
    return;
  }
  if (owner_.IsAutoConvert()) owner_.ACLogWrite("   Logging excluded points to " + path + ".", true);
  std::vector<std::string> ticked;
  for (const auto& row : lstFiles) {
    if (row.ticked) ticked.push_back(row.text);
  }
  ExcludedLog.WriteRunHeading(header.Title, GeneralDate(std::time(nullptr)), ticked);
}

bool frmConversion::SaveOpenTiles() {
  // Every tile is saved and copied beside its target first; the copies are
  // renamed into place only once all of them are there, so a run interrupted
  // before that leaves every target as it was.
  enum class Saving { kCouldNotSave, kCouldNotCopy, kStaged };
  std::vector<Saving> outcome;
  std::vector<StagedCopy> copies(OpenTiles.size());
  for (std::size_t k = 0; k < OpenTiles.size(); ++k) {
    if (InterruptingSignal() != 0) break;
    const PlannedFile& p = PlannedFiles[OpenTiles[k].PlannedIndex - 1];
    LUCFileV1& file = *OpenTiles[k].File;
    const std::string temporary = file.FileName();
    file.SetTitle(p.Title);
    file.SetDataSource(std::string(kDataSource) + (OpenTiles[k].Skewed ? kSkewedMark : ""));
    file.WriteData();
    const bool saved = file.LastError() == LUCFileV1::kNoError;
    file.SetOpenMode(LUCFileV1::kClosed);
    outcome.push_back(!saved                                            ? Saving::kCouldNotSave
                      : copies[k].Stage(temporary, p.Directory + p.FileName) ? Saving::kStaged
                                                                         : Saving::kCouldNotCopy);
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
  }
  if (InterruptingSignal() != 0) {
    DiscardOpenTiles();
    return false;  // the staged copies go with `copies`
  }

  for (std::size_t k = 0; k < OpenTiles.size(); ++k) {
    const PlannedFile& p = PlannedFiles[OpenTiles[k].PlannedIndex - 1];
    if (outcome[k] == Saving::kCouldNotSave) {
      SetRow(OpenTiles[k].PlannedIndex, " (Could not save.)");
      Success = false;
      if (owner_.IsAutoConvert()) owner_.ACLogWrite("   Could not save " + p.FileName + ".", true);
      continue;
    }
    SetRow(OpenTiles[k].PlannedIndex, " (Saved.)");
    if (outcome[k] == Saving::kCouldNotCopy || !copies[k].Commit()) {
      SetRow(OpenTiles[k].PlannedIndex, " (Error.)");
      if (owner_.IsAutoConvert()) owner_.ACLogWrite("   Could not copy " + p.FileName + ".", true);
      Success = false;
    }
  }
  return true;
}

void frmConversion::DiscardOpenTiles() {
  for (OpenTile& tile : OpenTiles) {
    tile.Created = false;
    tile.File->SetOpenMode(LUCFileV1::kClosed);
    std::error_code ec;
    std::filesystem::remove(tile.File->FileName(), ec);
  }
}

}  // namespace tilbo
