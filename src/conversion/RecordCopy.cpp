// The record copy: every source cell goes into the open tile whose one-degree
// cell holds it, or into an existing or new tile outside the run, or is
// excluded, counted and logged.
//
// The loop runs at the speed of reading the file. Records are taken in chunks:
// the cells of a chunk are decoded, then the tile that holds each one is found
// on both cores (a pure computation: the geographic position of the point in
// each tile's zone, converted once per zone, tested against the tile's cell),
// and then the chunk is applied record by record in order, with the progress,
// the event pump, the cell stores, the outside tiles and the log exactly as a
// record-at-a-time loop would do them.

#include <algorithm>
#include <cmath>
#include <span>
#include <thread>

#include "conversion/frmConversion.h"
#include "coords/CoordText.h"
#include "coords/UtmCon.h"
#include "ctg/CTGFile.h"
#include "luc/LULCShared.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "suite/Interruption.h"
#include "suite/Paths.h"
#include "suite/Version.h"

namespace tilbo {
namespace {

constexpr int32_t kChunkRecords = 1 << 16;
constexpr int32_t kDirectMode = 1;
constexpr int32_t kUtmCoordinates = 1;
constexpr int32_t kFillValue = 0;
constexpr int kNoTile = -1;

// An open tile as the tile search sees it: the zone its header records (the
// zone in which a point's easting and northing are read for it) and the file,
// whose InCell answers as InFile does for an already converted position.
//
// Creating the tile has already converted every point of its grid and marked
// those outside the cell with the padding value, by the very test InFile
// makes (the same conversion of the same whole-metre easting and northing in
// the same zone). A record that lies on a grid point, as the records of a
// source whose cell size is the tile's resolution do, is answered from that
// mark, taken before any record is written; only other points are converted.
struct TileCell {
  int16_t zone = 0;
  const LUCFileV1* file = nullptr;
  double seLatitude = 0, seLongitude = 0;
  int64_t minEasting = 0, maxNorthing = 0, xResolution = 0, yResolution = 0, rows = 0, columns = 0;
  std::vector<uint8_t> inCell;  // per grid point, row after row: 1 in the tile's cell

  explicit TileCell(LUCFileV1& tile)
      : zone(tile.UTMZone()), file(&tile), seLatitude(tile.SECornerLatitude()), seLongitude(tile.SECornerLongitude()) {
    minEasting = tile.MinEasting();
    maxNorthing = tile.MaxNorthing();
    xResolution = tile.XResolution();
    yResolution = tile.YResolution();
    rows = tile.DataRows();
    columns = tile.DataColumns();
    const std::span<const int16_t> grid = tile.GridCells();
    if (xResolution <= 0 || yResolution <= 0 || static_cast<int64_t>(grid.size()) != rows * columns) {
      rows = columns = 0;  // nothing known: every point is converted
      return;
    }
    inCell.resize(grid.size());
    std::transform(grid.begin(), grid.end(), inCell.begin(),
                   [](int16_t v) { return static_cast<uint8_t>(v != kPaddingValue); });
  }

  // 1 or 0 when the point is a grid point, -1 when it has to be converted.
  int KnownInCell(int32_t easting, int32_t northing) const {
    if (columns == 0) return -1;
    const int64_t dx = int64_t{easting} - minEasting;
    const int64_t dy = maxNorthing - northing;
    if (dx < 0 || dy < 0 || dx % xResolution != 0 || dy % yResolution != 0) return -1;
    const int64_t column = dx / xResolution, row = dy / yResolution;
    if (column >= columns || row >= rows) return -1;
    return inCell[static_cast<std::size_t>(row * columns + column)];
  }
};

struct DecodedRecord {
  CTGCell cell;
  bool readError = false;
  int tile = kNoTile;  // index into the open tiles
};

// The first tile whose cell holds the record's point, converting the point
// once per zone, and only where no grid mark answers.
int FindTile(const CTGCell& cell, const std::vector<TileCell>& tiles) {
  // A tile whose grid marks the point as in its cell: the cells of tiles in
  // one zone do not overlap, so no other tile of that zone and another cell
  // holds the point, and the tiles before it need no conversion to say so.
  std::size_t marked = tiles.size();
  for (std::size_t t = 0; t < tiles.size(); ++t) {
    if (tiles[t].KnownInCell(cell.Easting, cell.Northing) == 1) {
      marked = t;
      break;
    }
  }
  GeoPoint point;
  int16_t convertedZone = 0;
  bool converted = false;
  for (std::size_t t = 0; t < tiles.size(); ++t) {
    if (t == marked) return static_cast<int>(t);
    if (tiles[t].KnownInCell(cell.Easting, cell.Northing) == 0) continue;
    if (marked < tiles.size() && tiles[t].zone == tiles[marked].zone &&
        (tiles[t].seLatitude != tiles[marked].seLatitude || tiles[t].seLongitude != tiles[marked].seLongitude)) {
      continue;
    }
    if (!converted || tiles[t].zone != convertedZone) {
      point = UtmToGeographic(tiles[t].zone, cell.Easting, cell.Northing);
      convertedZone = tiles[t].zone;
      converted = true;
    }
    if (tiles[t].file->InCell(point.latitude, point.longitude)) return static_cast<int>(t);
  }
  return kNoTile;
}

void FindTiles(std::vector<DecodedRecord>& records, std::size_t count, const std::vector<TileCell>& tiles) {
  auto work = [&](std::size_t from, std::size_t to) {
    for (std::size_t k = from; k < to; ++k) {
      DecodedRecord& r = records[k];
      if (!r.readError && r.cell.LULCCode != 0) r.tile = FindTile(r.cell, tiles);
    }
  };
  if (tiles.empty()) return;
  const std::size_t half = count / 2;
  if (std::thread::hardware_concurrency() < 2 || count < 1024) {
    work(0, count);
    return;
  }
  std::thread helper(work, half, count);
  work(0, half);
  helper.join();
}

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
    if (readError) ExcludedLog.WriteRawCard(CTG_ReadRecordText(SourceHandle, r + 5));
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
      outside->SetOpenMode(kDirectMode);
      if (outside->LastError() == 0) {
        outside->SetCoordinateMode(kUtmCoordinates);
        outside->SetLULCValue(easting, northing, cell.LULCCode);
        ++WrittenElsewhereCount;
        written = true;
      }
      outside->SetOpenMode(0);
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
    const int32_t result = outside->CreateFile(refLat, refLon, xResolution, yResolution, tilePath, kDirectMode, kFillValue);
    bool written = false;
    if (result == 0) {
      outside->SetCoordinateMode(kUtmCoordinates);
      outside->SetLULCValue(easting, northing, cell.LULCCode);
      outside->SetTitle(OutsideTileTitle(CTG_ReadHeader(SourceHandle).Title));
      outside->SetOpenMode(0);
      ExternalFilesCreated.push_back(outside->FileName());
      ++WrittenElsewhereCount;
      written = true;
    } else {
      // A tile made with the skew result stays on disk but takes no point;
      // it must not stay open under a name the next lookup will change.
      outside->SetOpenMode(0);
    }
    cmdCommandEnabled = true;
    return written;
  };

  const int32_t n = CTG_RecordCount(SourceHandle);
  const auto chunkSize = static_cast<std::size_t>(std::max(0, std::min(n, kChunkRecords)));
  std::vector<DecodedRecord> chunk(chunkSize);
  std::vector<CTGCell> cells(chunkSize);
  std::vector<uint8_t> ok(chunkSize);
  bool stop = false;
  for (int32_t first = 1; first <= n && !stop; first += kChunkRecords) {
    const int32_t count = std::min(kChunkRecords, n - first + 1);
    CTG_ReadCells(SourceHandle, first, count, cells.data(), ok.data());
    for (int32_t k = 0; k < count; ++k) {
      DecodedRecord& d = chunk[static_cast<std::size_t>(k)];
      d.cell = cells[static_cast<std::size_t>(k)];
      d.readError = ok[static_cast<std::size_t>(k)] == 0;
      d.tile = kNoTile;
    }
    FindTiles(chunk, static_cast<std::size_t>(count), tiles);

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
  }

  for (const OpenTile& tile : OpenTiles) SetRow(tile.PlannedIndex, " (Complete)");
  LRR_ReleaseDirectories();
}

}  // namespace tilbo
