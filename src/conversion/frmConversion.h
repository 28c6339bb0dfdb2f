#pragma once
// The conversion window as a logic object: the list of planned tiles with
// their conflict status and ticks, the run (create tiles, copy every source
// record, save, copy into place), its progress, cancel and summary. The Qt
// window renders this state; AutoConvert and tests drive it headless.
//
// The class is defined over three files: frmConversion.cpp (the window's
// events, the run's order, saving and the summary), TileCreation.cpp
// (CreateSelectedTiles) and RecordCopy.cpp (CopyRecords); the tile search of
// the record copy is in conversion/TileSearch.h.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "conversion/ConversionOwner.h"
#include "conversion/ConversionTexts.h"
#include "conversion/ExcludedPointsLog.h"
#include "conversion/PlannedFile.h"
#include "luc/LUCFileV1.h"
#include "suite/Prompter.h"
#include "suite/RunFolder.h"

namespace tilbo {

// One tile of the run, created in the run's private folder in the program's
// directory until it is saved and copied into its target directory.
struct OpenTile {
  std::unique_ptr<LUCFileV1> File;
  int16_t PlannedIndex = 0;  // 1-based index in the planned-file list
  bool Skewed = false;
  bool Created = false;
};

struct FileListRow {
  std::string text;
  bool ticked = false;
};

class frmConversion {
 public:
  frmConversion(ConversionOwner& owner, Prompter& prompter, EventPump& pump);
  ~frmConversion();
  frmConversion(const frmConversion&) = delete;
  frmConversion& operator=(const frmConversion&) = delete;

  // The window's load step: empties the lists and resets flags and counters.
  void Load();
  // Fills the list from the owner's plan; in AutoConvert mode runs at once.
  void SetUp();
  void AddFile(const std::string& Directory, const std::string& FileName, double RefLat, double RefLon,
               int32_t Size, const std::string& Title);

  // --- Events -------------------------------------------------------------
  void lstFiles_DblClick(int row);  // 0-based row
  void lstFiles_Tick(int row, bool ticked);
  // The command button: Begin, Cancel or Close Window by state.
  void RunConversion();
  void cmdCancel_Click();

  // --- Controls -------------------------------------------------------------
  std::vector<FileListRow> lstFiles;
  std::string cmdCommandCaption;
  bool cmdCommandEnabled = true;
  bool cmdCancelVisible = true;
  std::string txtDirections;
  std::string lblCurrentAction;
  int32_t pbMax = 0;
  int32_t pbValue = 0;
  bool visible = false;
  bool closed = false;  // the window has been closed (by a button or at the end of AutoConvert)

  // --- State of the run --------------------------------------------------------
  std::vector<PlannedFile> PlannedFiles;  // entry i is PlannedFiles[i - 1]
  std::vector<std::string> ConflictPaths;
  std::vector<OpenTile> OpenTiles;
  std::vector<std::string> ExistingFilesUsed;
  std::vector<std::string> ExternalFilesCreated;
  bool Started = false, Finished = false, CancelRequested = false, Success = false;
  bool LogExcludedPoints = false;
  int16_t SourceHandle = -1;
  int32_t ExcludedCount = 0, ReadErrorCount = 0, WrittenElsewhereCount = 0, ZeroValueCount = 0;
  ExcludedPointsLog ExcludedLog;  // open while an excluded-points log is being written

  // The path a tile is created under during the run: the tile's name and
  // " NEW" in the run's private folder in the program's directory, so that
  // runs sharing the directory never meet on a temporary name.
  static std::string TemporaryPath(const std::string& fileName);

 private:
  // New tiles start with every cell 0 (Undefined): a cell no record reaches.
  static constexpr int16_t kNewTileFill = 0;

  void Pump() { pump_.ProcessPendingEvents(); }
  void ShowStatus() { pump_.StatusChanged(); }
  void SetRow(int16_t plannedIndex, const std::string& status);
  // The source header's data date, also while the source file is closed.
  std::string SourceDataDate() const;
  void OpenExcludedPointsLog();
  void CreateSelectedTiles();
  void CopyRecords();
  // Saves every open tile and places it into its directory; false when the
  // run was interrupted first (every tile discarded, no target touched).
  bool SaveOpenTiles();
  void DiscardOpenTiles();
  RunSummary Summary() const;

  ConversionOwner& owner_;
  Prompter& prompter_;
  EventPump& pump_;
  std::unique_ptr<RunFolder> runFolder_;  // held while the run has temporary tiles
};

}  // namespace tilbo
