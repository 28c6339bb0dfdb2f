#include "luctool/LandCoverImport.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal_alg.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>

#include "conversion/StagedCopy.h"
#include "luc/LUCFileV1.h"
#include "luc/TileName.h"
#include "luctool/LandCoverSource.h"
#include "luctool/TileGeoref.h"

namespace tilbo::luctool {
namespace {

constexpr int kBandRows = 128;         // tile rows binned at a time: bounds the vote counts held
constexpr int kSourceChunkRows = 256;  // source rows read at a time
constexpr uint8_t kUnmapped = 255;     // index of a class without a LULC code
constexpr int kMaxDistinctCodes = 254;
constexpr size_t kTextLength = LUCFileV1::kTextLength;
// UTM ends at 84 N and 80 S.
constexpr double kSouthernmostCell = -80;
constexpr double kNorthernmostCell = 83;

// South-east corners of the one-degree cells that the extent touches.
std::vector<std::array<double, 2>> CellsOf(const std::array<double, 4>& extent) {
  std::vector<std::array<double, 2>> cells;
  const double south = std::max(std::floor(extent[0]), kSouthernmostCell);
  const double north = std::min(std::ceil(extent[2]) - 1, kNorthernmostCell);
  for (double lat = north; lat >= south; --lat) {
    // A cell spans longitudes (east - 1, east].
    for (double east = std::floor(extent[1]) + 1; east <= std::ceil(extent[3]); ++east) {
      cells.push_back({lat, east > 180 ? east - 360 : east});
    }
  }
  return cells;
}

// A GDAL transformer between the source's cells and the tile's cells (pixel
// and line coordinates of both, the tile's cell (c, r) spanning c..c+1,
// r..r+1 around its grid point).
class CellTransformer {
 public:
  CellTransformer(const LandCoverSource& s, int zone, const std::array<double, 6>& tileTransform,
                  double maxErrorCells) {
    OGRSpatialReference utm;
    utm.importFromEPSG(Wgs84UtmNorthEpsg(zone));
    char* wkt = nullptr;
    utm.exportToWkt(&wkt);
    base_ = GDALCreateGenImgProjTransformer3(s.wkt.c_str(), s.geoTransform.data(), wkt, tileTransform.data());
    CPLFree(wkt);
    if (base_ != nullptr && maxErrorCells > 0) {
      approx_ = GDALCreateApproxTransformer(GDALGenImgProjTransform, base_, maxErrorCells);
      GDALApproxTransformerOwnsSubtransformer(approx_, TRUE);
    }
  }
  ~CellTransformer() {
    if (approx_ != nullptr) {
      GDALDestroyApproxTransformer(approx_);
    } else if (base_ != nullptr) {
      GDALDestroyGenImgProjTransformer(base_);
    }
  }
  CellTransformer(const CellTransformer&) = delete;
  CellTransformer& operator=(const CellTransformer&) = delete;

  bool Usable() const { return base_ != nullptr; }
  // In place; ok[i] false where a point has no position in the other system.
  void Transform(bool toSource, std::vector<double>& x, std::vector<double>& y, std::vector<int>& ok) {
    const int n = static_cast<int>(x.size());
    std::vector<double> z(x.size(), 0.0);
    ok.assign(x.size(), 0);
    if (approx_ != nullptr) {
      GDALApproxTransform(approx_, toSource ? TRUE : FALSE, n, x.data(), y.data(), z.data(), ok.data());
    } else {
      GDALGenImgProjTransform(base_, toSource ? TRUE : FALSE, n, x.data(), y.data(), z.data(), ok.data());
    }
  }

 private:
  void* base_ = nullptr;
  void* approx_ = nullptr;
};

struct Window {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // source cells [x0, x1) x [y0, y1)
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

// The source cells around given source positions (pixel coordinates), with
// one cell to spare, inside the raster.
Window WindowAround(const std::vector<double>& x, const std::vector<double>& y, const std::vector<int>& ok,
                    const LandCoverSource& s) {
  double minX = std::numeric_limits<double>::max();
  double minY = minX;
  double maxX = std::numeric_limits<double>::lowest();
  double maxY = maxX;
  for (size_t i = 0; i < x.size(); ++i) {
    if (ok[i] == 0 || !std::isfinite(x[i]) || !std::isfinite(y[i])) continue;
    minX = std::min(minX, x[i]);
    maxX = std::max(maxX, x[i]);
    minY = std::min(minY, y[i]);
    maxY = std::max(maxY, y[i]);
  }
  if (minX > maxX) return {};
  auto clampTo = [](double v, int limit) { return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(limit))); };
  return {clampTo(std::floor(minX) - 1, s.columns), clampTo(std::floor(minY) - 1, s.rows),
          clampTo(std::ceil(maxX) + 1, s.columns), clampTo(std::ceil(maxY) + 1, s.rows)};
}

// Source class -> index of its LULC code among the distinct codes (sorted, so
// the lowest index is the lowest code), kUnmapped for classes without one.
class CodeIndex {
 public:
  explicit CodeIndex(const ClassMap& map) {
    for (const auto& [cls, code] : map.codes) codes_.push_back(code);
    std::sort(codes_.begin(), codes_.end());
    codes_.erase(std::unique(codes_.begin(), codes_.end()), codes_.end());
    if (!map.codes.empty()) {
      first_ = map.codes.begin()->first;
      table_.assign(static_cast<size_t>(map.codes.rbegin()->first - first_ + 1), kUnmapped);
      for (const auto& [cls, code] : map.codes) {
        table_[static_cast<size_t>(cls - first_)] =
            static_cast<uint8_t>(std::lower_bound(codes_.begin(), codes_.end(), code) - codes_.begin());
      }
    }
  }
  uint8_t Of(int32_t cls) const {
    const int64_t i = static_cast<int64_t>(cls) - first_;
    return i >= 0 && i < static_cast<int64_t>(table_.size()) ? table_[static_cast<size_t>(i)] : kUnmapped;
  }
  const std::vector<int16_t>& Codes() const { return codes_; }

 private:
  std::vector<int16_t> codes_;
  std::vector<uint8_t> table_;
  int32_t first_ = 0;
};

// One tile being filled: its grid from CreateFile and the codes found.
struct TileWork {
  LUCFileV1& luc;
  const LandCoverSource& source;
  const CodeIndex& index;
  CellTransformer& transformer;
  TileImportReport& report;
  int32_t rows = 0;
  int32_t columns = 0;
  std::span<const int16_t> layout;  // padding marks the points outside the cell

  bool InCell(int32_t row, int32_t column) const {
    return layout[static_cast<size_t>(row) * columns + column] != kPaddingValue;
  }
  bool IsNoData(int32_t value) const { return source.noData && *source.noData == value; }
  void Set(int32_t row, int32_t column, int16_t code) {
    luc.SetLULCValue(column, row, code);
    if (code != 0) ++report.filled;
  }
};

bool ReadSource(const LandCoverSource& s, const Window& w, std::vector<int32_t>& cells, std::string& error) {
  cells.resize(static_cast<size_t>(w.x1 - w.x0) * (w.y1 - w.y0));
  if (s.band->RasterIO(GF_Read, w.x0, w.y0, w.x1 - w.x0, w.y1 - w.y0, cells.data(), w.x1 - w.x0, w.y1 - w.y0,
                       GDT_Int32, 0, 0, nullptr) != CE_None) {
    error = GdalReason("cannot read its cells");
    return false;
  }
  return true;
}

// Source finer than the tile: every source cell of the band's window votes
// for the point whose square holds its centre.
bool FillBandByMode(TileWork& t, int32_t r0, int32_t r1, std::string& error) {
  // The band's outline in source cells gives the window to read.
  std::vector<double> x;
  std::vector<double> y;
  std::vector<int> ok;
  for (int32_t c = 0; c <= t.columns; ++c) {
    x.insert(x.end(), {double(c), double(c)});
    y.insert(y.end(), {double(r0), double(r1)});
  }
  for (int32_t r = r0; r <= r1; ++r) {
    x.insert(x.end(), {0.0, double(t.columns)});
    y.insert(y.end(), {double(r), double(r)});
  }
  t.transformer.Transform(true, x, y, ok);
  const Window w = WindowAround(x, y, ok, t.source);

  const size_t codes = t.index.Codes().size();
  const size_t points = static_cast<size_t>(r1 - r0) * t.columns;
  std::vector<uint32_t> votes(points * codes, 0);
  std::vector<uint8_t> sawUnmapped(points, 0);
  std::vector<int32_t> cells;
  for (int y0 = w.y0; !w.Empty() && y0 < w.y1; y0 += kSourceChunkRows) {
    const Window chunk{w.x0, y0, w.x1, std::min(w.y1, y0 + kSourceChunkRows)};
    if (!ReadSource(t.source, chunk, cells, error)) return false;
    const int width = chunk.x1 - chunk.x0;
    for (int sy = chunk.y0; sy < chunk.y1; ++sy) {
      x.resize(width);
      y.assign(width, sy + 0.5);
      for (int i = 0; i < width; ++i) x[i] = chunk.x0 + i + 0.5;
      t.transformer.Transform(false, x, y, ok);
      const int32_t* row = cells.data() + static_cast<size_t>(sy - chunk.y0) * width;
      for (int i = 0; i < width; ++i) {
        if (ok[i] == 0 || t.IsNoData(row[i])) continue;
        const double fc = std::floor(x[i]);
        const double fr = std::floor(y[i]);
        if (!(fc >= 0 && fc < t.columns && fr >= r0 && fr < r1)) continue;
        const auto c = static_cast<int32_t>(fc);
        const auto r = static_cast<int32_t>(fr);
        if (!t.InCell(r, c)) continue;
        const size_t point = static_cast<size_t>(r - r0) * t.columns + c;
        const uint8_t code = t.index.Of(row[i]);
        if (code == kUnmapped) {
          sawUnmapped[point] = 1;
          ++t.report.unmappedClasses[row[i]];
        } else {
          ++votes[point * codes + code];
        }
      }
    }
  }
  for (int32_t r = r0; r < r1; ++r) {
    for (int32_t c = 0; c < t.columns; ++c) {
      if (!t.InCell(r, c)) continue;
      const size_t point = static_cast<size_t>(r - r0) * t.columns + c;
      const uint32_t* v = votes.data() + point * codes;
      const auto best = std::max_element(v, v + codes);  // the first of equal counts: the lowest code
      if (codes > 0 && *best > 0) {
        t.Set(r, c, t.index.Codes()[static_cast<size_t>(best - v)]);
      } else if (sawUnmapped[point] != 0) {
        ++t.report.unmappedOnly;
      } else {
        ++t.report.withoutData;
      }
    }
  }
  return true;
}

// Source as coarse as the tile or coarser: each point takes the cell holding it.
bool FillBandByHoldingCell(TileWork& t, int32_t r0, int32_t r1, std::string& error) {
  std::vector<double> x;
  std::vector<double> y;
  std::vector<int> ok;
  for (int32_t r = r0; r < r1; ++r) {
    for (int32_t c = 0; c < t.columns; ++c) {
      x.push_back(c + 0.5);
      y.push_back(r + 0.5);
    }
  }
  // Row by row, as the approximating transformer expects points along a line.
  std::vector<int> rowOk;
  ok.resize(x.size());
  for (int32_t r = r0; r < r1; ++r) {
    const size_t first = static_cast<size_t>(r - r0) * t.columns;
    std::vector<double> rx(x.begin() + first, x.begin() + first + t.columns);
    std::vector<double> ry(y.begin() + first, y.begin() + first + t.columns);
    t.transformer.Transform(true, rx, ry, rowOk);
    std::copy(rx.begin(), rx.end(), x.begin() + first);
    std::copy(ry.begin(), ry.end(), y.begin() + first);
    std::copy(rowOk.begin(), rowOk.end(), ok.begin() + first);
  }
  const Window w = WindowAround(x, y, ok, t.source);
  std::vector<int32_t> cells;
  if (!w.Empty() && !ReadSource(t.source, w, cells, error)) return false;
  for (int32_t r = r0; r < r1; ++r) {
    for (int32_t c = 0; c < t.columns; ++c) {
      if (!t.InCell(r, c)) continue;
      const size_t point = static_cast<size_t>(r - r0) * t.columns + c;
      const double sx = std::floor(x[point]);
      const double sy = std::floor(y[point]);
      if (ok[point] == 0 || !(sx >= w.x0 && sx < w.x1 && sy >= w.y0 && sy < w.y1)) {
        ++t.report.withoutData;
        continue;
      }
      const int32_t value = cells[static_cast<size_t>(sy - w.y0) * (w.x1 - w.x0) + static_cast<size_t>(sx - w.x0)];
      const uint8_t code = t.index.Of(value);
      if (t.IsNoData(value)) {
        ++t.report.withoutData;
      } else if (code == kUnmapped) {
        ++t.report.unmappedOnly;
        ++t.report.unmappedClasses[value];
      } else {
        t.Set(r, c, t.index.Codes()[code]);
      }
    }
  }
  return true;
}

// The side of a source cell in tile cells, measured at the tile's centre;
// nothing when the centre has no position in the source.
std::optional<double> SourceCellInTileCells(CellTransformer& transformer, int32_t rows, int32_t columns) {
  std::vector<double> x{columns / 2.0};
  std::vector<double> y{rows / 2.0};
  std::vector<int> ok;
  transformer.Transform(true, x, y, ok);
  if (ok[0] == 0) return std::nullopt;
  const double sx = std::floor(x[0]);
  const double sy = std::floor(y[0]);
  x = {sx, sx + 1, sx};
  y = {sy, sy, sy + 1};
  transformer.Transform(false, x, y, ok);
  if (ok[0] == 0 || ok[1] == 0 || ok[2] == 0) return std::nullopt;
  const double area = std::fabs((x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]));
  return std::sqrt(area);
}

// "NLCD via luctool, mode of 30 m cells", shortened to fit 40 characters.
std::string DataSourceText(const std::string& label, bool byMode, double sourceMetres) {
  const std::string size = std::to_string(static_cast<long>(std::lround(sourceMetres))) + " m";
  const std::string how = byMode ? "mode of " + size : "cell at point, " + size;
  std::string text = label + " via luctool, " + how + (byMode ? " cells" : "");
  if (text.size() > kTextLength) text = label + " via luctool, " + how;
  if (text.size() > kTextLength) {
    const std::string tail = " via luctool, " + how;
    text = label.substr(0, kTextLength - tail.size()) + tail;
  }
  return text;
}

class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "luctool-import-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TemporaryDirectory() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Creates, fills and places one tile.
bool ImportTile(const ImportRequest& request, const LandCoverSource& source, const CodeIndex& index,
                const std::array<double, 2>& corner, const std::string& workDir, const ImportProgress& progress,
                TileImportReport& report, std::string& error) {
  const std::string name = LUCTileName(corner[0], corner[1]);
  report.name = name;
  std::string temporary = workDir + "/" + name;
  LUCFileV1 luc;
  const int32_t created =
      luc.CreateFile(corner[0], corner[1], request.cellSize, request.cellSize, temporary, LUCFileV1::kMemoryIo, 0);
  if (luc.LastError() != LUCFileV1::kNoError || luc.OpenMode() != LUCFileV1::kMemoryIo) {
    error = name + ": the tile cannot be laid out at " + std::to_string(request.cellSize) +
            " m (" + LUCFileV1::ErrorDescription(luc.LastError()) +
            " A tile needs at least 78 columns: a smaller cell gives them.)";
    return false;
  }
  report.skewed = created == LUCFileV1::kCreatedSkewed;
  const std::vector<int16_t> layout(luc.GridCells().begin(), luc.GridCells().end());
  const double res = request.cellSize;
  const std::array<double, 6> tileTransform{luc.MinEasting() - res / 2, res, 0, luc.MaxNorthing() + res / 2, 0, -res};
  CellTransformer transformer(source, luc.UTMZone(), tileTransform, request.maxErrorCells);
  if (!transformer.Usable()) {
    error = name + ": " + GdalReason("no transformation from the source to the tile's UTM zone");
    return false;
  }
  TileWork work{luc, source, index, transformer, report, luc.DataRows(), luc.DataColumns(), layout};
  luc.SetCoordinateMode(LUCFileV1::kGridCoordinates);
  const std::optional<double> sourceCell = SourceCellInTileCells(transformer, work.rows, work.columns);
  const bool byMode = sourceCell && *sourceCell < 1.0;
  for (int32_t r0 = 0; r0 < work.rows; r0 += kBandRows) {
    if (progress) progress(name, static_cast<double>(r0) / work.rows);
    const int32_t r1 = std::min(work.rows, r0 + kBandRows);
    const bool filled = byMode ? FillBandByMode(work, r0, r1, error) : FillBandByHoldingCell(work, r0, r1, error);
    if (!filled) {
      error = request.source + ": " + error;
      return false;
    }
  }
  if (progress) progress(name, 1.0);
  if (report.filled == 0 && report.unmappedOnly == 0) {
    report.placed = false;  // the source's outline touches the cell, its data does not
    return true;
  }
  luc.SetTitle(std::filesystem::path(request.source).filename().string().substr(0, kTextLength));
  luc.SetDataSource(DataSourceText(request.classes.label, byMode, sourceCell.value_or(0) * res));
  luc.WriteData();
  const int32_t written = luc.LastError();
  luc.SetOpenMode(LUCFileV1::kClosed);
  if (written != LUCFileV1::kNoError) {
    error = temporary + ": " + LUCFileV1::ErrorDescription(written);
    return false;
  }
  StagedCopy placed;
  if (!placed.Stage(temporary, request.destination + name) || !placed.Commit()) {
    error = request.destination + name + ": cannot be written (" + std::strerror(errno) + ")";
    return false;
  }
  std::error_code ec;
  std::filesystem::remove(temporary, ec);
  return true;
}

}  // namespace

ImportOutcome ImportLandCover(const ImportRequest& request, const ImportProgress& progress,
                              const TileDone& done) {
  ImportOutcome outcome;
  CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);
  CPLErrorReset();
  std::optional<LandCoverSource> source = OpenSource(request.source, outcome.error);
  if (!source) return outcome;
  const CodeIndex index(request.classes);
  if (index.Codes().size() > kMaxDistinctCodes) {
    outcome.error = "the class mapping gives more than " + std::to_string(kMaxDistinctCodes) + " distinct codes";
    return outcome;
  }
  std::optional<std::array<double, 4>> extent = GeographicExtent(*source, outcome.error);
  if (!extent) {
    outcome.error = request.source + ": " + outcome.error;
    return outcome;
  }
  if (request.box) {
    const std::array<double, 4>& b = *request.box;
    extent = std::array<double, 4>{std::max((*extent)[0], b[0]), std::max((*extent)[1], b[1]),
                                   std::min((*extent)[2], b[2]), std::min((*extent)[3], b[3])};
  }
  const std::vector<std::array<double, 2>> cells =
      (*extent)[0] < (*extent)[2] && (*extent)[1] < (*extent)[3] ? CellsOf(*extent) : std::vector<std::array<double, 2>>{};
  if (cells.empty()) {
    outcome.error = request.source + ": covers no one-degree cell" + (request.box ? " inside the box" : "");
    return outcome;
  }
  if (!request.overwrite) {
    std::string existing;
    for (const auto& cell : cells) {
      const std::string target = request.destination + LUCTileName(cell[0], cell[1]);
      std::error_code ec;
      if (std::filesystem::exists(target, ec)) existing += (existing.empty() ? "" : ", ") + target;
    }
    if (!existing.empty()) {
      outcome.error = "existing tiles left as they are (--overwrite replaces them): " + existing;
      return outcome;
    }
  }
  const TemporaryDirectory work;
  if (work.path().empty()) {
    outcome.error = "cannot make a temporary directory in " + std::filesystem::temp_directory_path().string();
    return outcome;
  }
  for (const auto& cell : cells) {
    TileImportReport report;
    if (!ImportTile(request, *source, index, cell, work.path(), progress, report, outcome.error)) return outcome;
    if (done) done(report);
    outcome.tiles.push_back(std::move(report));
  }
  return outcome;
}

}  // namespace tilbo::luctool
