// The record copy: every source cell goes into the open tile whose one-degree
// cell holds it, or into an existing or new tile outside the run, or is
// excluded, counted and logged.
//
// The loop runs at the speed of reading the file. Records are taken in chunks:
// the raw records of a chunk are read at once, then on the other cores each is
// decoded and the tile that holds it found (a pure computation: the
// geographic position of the point in each tile's zone, converted once per
// zone, tested against the tile's cell) while the chunk before is applied
// here, record by record in order, with the progress, the event pump, the cell
// stores, the outside tiles and the log exactly as a record-at-a-time loop
// would do them.

#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "conversion/TileSearch.h"
#include "conversion/frmConversion.h"
#include "coords/CoordText.h"
#include "coords/UtmCon.h"
#include "ctg/CTGFile.h"
#include "luc/TileName.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "suite/Interruption.h"
#include "suite/Paths.h"
#include "suite/Version.h"

namespace tilbo {
namespace {

// Two chunks are held at a time (one applied, one decoded), raw and decoded
// records 0.8 MB each: a plain source costs little memory beyond the tiles.
constexpr int32_t kChunkRecords = 1 << 13;
// A chunk of records read from the source, then decoded with their tiles.
struct Chunk {
  int32_t count = 0;
  std::vector<char> raw;
  std::vector<DecodedRecord> records;
};

// The title of a tile made for points outside the run.
std::string OutsideTileTitle(const std::string& sourceTitle) {
  const auto scale = sourceTitle.find("1:250,000");
  if (scale != std::string::npos) {
    return sourceTitle.substr(0, scale) + " (OUT OF BOUNDS) " + sourceTitle.substr(scale);
  }
  return sourceTitle.substr(0, std::min<std::size_t>(23, sourceTitle.size())) + " (OUT OF BOUNDS)";
}

GeoPoint PositionOf(const CTGCell& cell) { return UtmToGeographic(cell.UTMZone, cell.Easting, cell.Northing); }

// A record without a valid zone (one that could not be read reads as zone 0)
// has no geographic position: it belongs to no tile and its log line leaves
// the position blank.
bool HasPosition(const GeoPoint& p) { return std::isfinite(p.latitude) && std::isfinite(p.longitude); }

}  // namespace

void frmConversion::CopyRecords() {
  ExistingFilesUsed.clear();
  LRR_ReadDirectories();
  int lastTile = kNoTile;  // planned index of the tile that received the previous point
  if (ExcludedLog.IsOpen()) ExcludedLog.WriteColumnHeading();

  std::vector<TileCell> tiles;
  for (const OpenTile& t : OpenTiles) tiles.emplace_back(*t.File);
  std::unique_ptr<LUCFileV1> outside;  // made on first need, reused for every outside write

  auto logPoint = [&](int32_t r, const CTGCell& cell, bool readError) {
    if (!ExcludedLog.IsOpen()) return;
    const GeoPoint p = PositionOf(cell);
    const bool known = HasPosition(p);
    ExcludedLog.WritePoint(r, cell.Easting, cell.Northing, known ? DecDeg_to_String(p.latitude, "LT") : "",
                           known ? DecDeg_to_String(p.longitude, "LN") : "", cell.LULCCode, readError);
    if (readError) ExcludedLog.WriteRawCard(CTG_ReadRecordText(SourceHandle, r + kCTGHeaderRecords));
  };

  // Writes a point that lies outside every tile of the run into an existing
  // tile or a new one; false when it went nowhere.
  auto writeOutside = [&](const CTGCell& cell) {
    if (!owner_.UseExistingOption()) return false;
    const GeoPoint p = PositionOf(cell);
    if (!HasPosition(p)) return false;
    const std::string targetDirectory = PlannedFiles.empty() ? "" : PlannedFiles[0].Directory;
    std::string path = LRR_FindFile(p.latitude, p.longitude, "");
    if (path.empty()) path = LRR_FindFile(p.latitude, p.longitude, targetDirectory);
    if (!outside) outside = std::make_unique<LUCFileV1>();
    const double easting = cell.Easting, northing = cell.Northing;
    if (!path.empty()) {
      bool written = false;
      outside->SetFileName(path);
      outside->SetOpenMode(LUCFileV1::kDirectIo);
      if (outside->LastError() == LUCFileV1::kNoError) {
        outside->SetCoordinateMode(LUCFileV1::kUtmCoordinates);
        outside->SetLULCValue(easting, northing, cell.LULCCode);
        ++WrittenElsewhereCount;
        written = true;
      }
      outside->SetOpenMode(LUCFileV1::kClosed);
      if (std::find(ExistingFilesUsed.begin(), ExistingFilesUsed.end(), path) == ExistingFilesUsed.end()) {
        ExistingFilesUsed.push_back(path);
      }
      return written;
    }
    if (!owner_.CreateNewOption()) return false;
    cmdCommandEnabled = false;
    const int16_t refLat = FloorInt(p.latitude), refLon = CeilingInt(p.longitude);
    const int16_t xResolution = CTG_ReadHeader(SourceHandle).CellSize;
    const int16_t yResolution = CTG_ReadHeader(SourceHandle).CellSize;
    std::string tilePath = setPathName(targetDirectory, LUCTileName(p.latitude, p.longitude), false);
    const int32_t result = outside->CreateFile(refLat, refLon, xResolution, yResolution, tilePath, LUCFileV1::kDirectIo,
                                               kNewTileFill);
    bool written = false;
    if (result == LUCFileV1::kCreated) {
      outside->SetCoordinateMode(LUCFileV1::kUtmCoordinates);
      outside->SetLULCValue(easting, northing, cell.LULCCode);
      outside->SetTitle(OutsideTileTitle(CTG_ReadHeader(SourceHandle).Title));
      outside->SetOpenMode(LUCFileV1::kClosed);
      ExternalFilesCreated.push_back(outside->FileName());
      ++WrittenElsewhereCount;
      written = true;
    } else {
      // A tile made with the skew result stays on disk but takes no point;
      // it must not stay open under a name the next lookup will change.
      outside->SetOpenMode(LUCFileV1::kClosed);
    }
    cmdCommandEnabled = true;
    return written;
  };

  // While one chunk is applied here, the next is decoded on the other cores:
  // a thread more than there are cores would make each chunk wait for the one
  // the system has set aside.
  const int32_t n = CTG_RecordCount(SourceHandle);
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  Chunk current, next;
  auto read = [&](Chunk& c, int32_t first) {
    c.count = std::min(kChunkRecords, n - first + 1);
    const int32_t available = CTG_ReadCellRecords(SourceHandle, first, c.count, c.raw);
    c.records.resize(static_cast<std::size_t>(c.count));
    return static_cast<std::size_t>(available);
  };
  auto decode = [&](Chunk& c, std::size_t available, std::size_t threads) {
    DecodeAndFindTiles(c.raw, available, c.records, static_cast<std::size_t>(c.count), tiles, threads);
  };
  if (n >= 1) decode(current, read(current, 1), cores);
  bool stop = false;
  for (int32_t first = 1; first <= n && !stop; first += kChunkRecords) {
    std::jthread ahead;  // joined however the loop below ends
    if (first + kChunkRecords <= n) {
      const std::size_t available = read(next, first + kChunkRecords);
      ahead = std::jthread(decode, std::ref(next), available, std::max<std::size_t>(1, cores - 1));
    }
    const int32_t count = current.count;
    const std::vector<DecodedRecord>& chunk = current.records;
    for (int32_t k = 0; k < count; ++k) {
      const int32_t r = first + k;
      const DecodedRecord& d = chunk[static_cast<std::size_t>(k)];
      pbValue = r;
      pump_.ProgressChanged(r, pbMax);
      Pump();
      if (d.readError) {
        ++ExcludedCount;
        ++ReadErrorCount;
        logPoint(r, d.cell, true);
      } else if (d.cell.LULCCode == 0) {
        ++ZeroValueCount;
        ++ExcludedCount;
        logPoint(r, d.cell, false);
      } else if (d.tile != kNoTile) {
        const OpenTile& tile = OpenTiles[static_cast<std::size_t>(d.tile)];
        if (tile.PlannedIndex != lastTile && lastTile != kNoTile) {
          SetRow(static_cast<int16_t>(lastTile), " (File created.)");
          SetRow(tile.PlannedIndex, " (Writing data.)");
        }
        lastTile = tile.PlannedIndex;
        tile.File->SetLULCValue(d.cell.Easting, d.cell.Northing, d.cell.LULCCode);
      } else if (!writeOutside(d.cell)) {
        ++ExcludedCount;
        logPoint(r, d.cell, false);
      }
      Pump();
      // A signal that ends the run stops the copy at once, without asking.
      if (InterruptingSignal() != 0) {
        stop = true;
        break;
      }
      if (CancelRequested) {
        const Reply reply = prompter_.Ask(MessageIcon::Question, "Are you sure you want to cancel the conversion process?",
                                          kProgramTitle, Reply::No);
        if (reply == Reply::Yes) {
          stop = true;
          break;
        }
        CancelRequested = false;
      }
    }
    if (ahead.joinable()) ahead.join();
    std::swap(current, next);
  }

  for (const OpenTile& tile : OpenTiles) SetRow(tile.PlannedIndex, " (Complete)");
  LRR_ReleaseDirectories();
}

}  // namespace tilbo
