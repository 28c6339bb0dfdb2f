// Creating the ticked tiles of a run as temporary LUC files in memory I/O mode.

#include <filesystem>

#include "conversion/frmConversion.h"
#include "ctg/CTGFile.h"
#include "suite/Interruption.h"
#include "suite/Version.h"

namespace tilbo {

void frmConversion::CreateSelectedTiles() {
  const bool auto_ = owner_.IsAutoConvert();
  for (int16_t i = 1; i <= static_cast<int16_t>(PlannedFiles.size()); ++i) {
    if (InterruptingSignal() != 0) return;  // the run is ending: no more tiles
    if (!lstFiles[i - 1].ticked) continue;
    const PlannedFile& p = PlannedFiles[i - 1];
    OpenTile tile;
    tile.File = std::make_unique<LUCFileV1>();
    tile.PlannedIndex = i;
    SetRow(i, " (Creating...)");
    ShowStatus();

    // The cell size serves as both resolutions, read from two header reads.
    const int16_t xResolution = CTG_ReadHeader(SourceHandle).CellSize;
    const int16_t yResolution = CTG_ReadHeader(SourceHandle).CellSize;
    std::string path = TemporaryPath(p.FileName);
    const int32_t result =
        tile.File->CreateFile(p.RefLat, p.RefLon, xResolution, yResolution, path, LUCFileV1::kMemoryIo, kNewTileFill);

    if (tile.File->LastError() != LUCFileV1::kNoError) {
      Success = false;
      SetRow(i, " (Could not create.)");
      ShowStatus();
      if (auto_) owner_.ACLogWrite("   Could not create file " + p.FileName, true);
      continue;
    }
    if (result == LUCFileV1::kCreatedSkewed) {
      Reply reply = Reply::Yes;
      if (auto_) {
        owner_.ACLogWrite("   There was an internal (skew) error while creating the file " + p.FileName + ".", true);
      } else {
        reply = prompter_.Ask(MessageIcon::Warning,
                              "There was an internal error while creating this "
                              "file.  Although there is a possibility that "
                              "this file will be unusable, it is likely that "
                              "the error will not cause any further problems.\r\n\r\n"
                              "Do you want to continue creating this file?",
                              kProgramTitle, Reply::Yes);
      }
      if (reply == Reply::No) {
        Success = false;
        SetRow(i, " (Internal error.)");
        ShowStatus();
        // The declined tile's temporary file is of no use to anyone.
        const std::string temporary = tile.File->FileName();
        tile.File->SetOpenMode(LUCFileV1::kClosed);
        std::error_code ec;
        std::filesystem::remove(temporary, ec);
        continue;
      }
    }
    SetRow(i, " (File created.)");
    ShowStatus();
    tile.File->SetCoordinateMode(LUCFileV1::kUtmCoordinates);
    tile.Created = true;
    tile.Skewed = result == LUCFileV1::kCreatedSkewed;
    OpenTiles.push_back(std::move(tile));
  }
}

}  // namespace tilbo
