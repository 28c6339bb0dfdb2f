#include "luc/TileGrid.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#include "coords/UtmCon.h"
#include "luc/TileName.h"
#include "luc/LucFileLayout.h"
#include "suite/Rounding.h"

namespace tilbo {
namespace {

// Thrown inside PlanTileGrid when a step has no valid result.
struct NoValidGrid {};

int32_t ToInt32(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    throw NoValidGrid{};
  }
  return static_cast<int32_t>(value);
}

int32_t Round32(double value) {
  const auto rounded = RoundToInt<int32_t>(value);
  if (!rounded) throw NoValidGrid{};
  return *rounded;
}

int32_t Floor32(double value) {
  const double floored = std::floor(value);
  if (!(floored >= std::numeric_limits<int32_t>::min() &&
        floored <= std::numeric_limits<int32_t>::max())) {
    throw NoValidGrid{};
  }
  return static_cast<int32_t>(floored);
}

struct UtmCorner {
  int32_t easting = 0;
  int32_t northing = 0;
};

// Geographic to UTM through the conversion entry: in the point's own zone when
// forcedZone is 0 (the zone used comes back in zoneUsed), else in forcedZone.
// Easting and northing rounded to whole metres.
UtmCorner CornerToUtm(double latitude, double longitude, int32_t forcedZone, int16_t& zoneUsed) {
  int32_t reserved = 0;
  int32_t direction = kGeographicToUtm;
  int16_t zone = 0;
  double easting = 0;
  double northing = 0;
  utmcon(reserved, zone, forcedZone, latitude, longitude, easting, northing, direction);
  zoneUsed = zone;
  return {Round32(easting), Round32(northing)};
}

}  // namespace

std::optional<TileGridLayout> PlanTileGrid(double seLatitude, double seLongitude,
                                           int16_t xResolution, int16_t yResolution) {
  if (xResolution <= 0 || yResolution <= 0) return std::nullopt;
  try {
    TileGridLayout layout;
    layout.xResolution = xResolution;
    layout.yResolution = yResolution;

    // The grid lies in the zone of the south-east corner; the other corners are
    // converted in that zone even when they lie outside it.
    int16_t zone = 0;
    const UtmCorner se = CornerToUtm(seLatitude, seLongitude, 0, zone);
    const int16_t gridZone = zone;
    const UtmCorner ne = CornerToUtm(seLatitude + 1, seLongitude, gridZone, zone);
    const UtmCorner nw = CornerToUtm(seLatitude + 1, seLongitude - 1, gridZone, zone);
    const UtmCorner sw = CornerToUtm(seLatitude, seLongitude - 1, gridZone, zone);
    CornerToUtm(seLatitude + 0.5, seLongitude - 0.5, 0, zone);  // only its zone is kept
    layout.gridZone = gridZone;
    layout.recordedZone = zone;

    // The box around the cell. West of the central meridian the parallels rise
    // toward the east, so the south-east corner is the lowest and the north-west
    // corner the highest point; east of it the other way round.
    constexpr int32_t kCentralEasting = 500000;
    int32_t minEasting, maxEasting, minNorthing, maxNorthing;
    if (se.easting <= kCentralEasting) {
      minEasting = sw.easting;
      maxEasting = ne.easting;
      minNorthing = se.northing;
      maxNorthing = nw.northing;
      layout.skewed = nw.northing < ne.northing;
    } else {
      minEasting = nw.easting;
      maxEasting = se.easting;
      minNorthing = sw.northing;
      maxNorthing = ne.northing;
      layout.skewed = nw.northing > ne.northing;
    }

    // Snapped to the resolutions: the western column and northern row one step
    // inside the box, the southern row on or below it.
    const double xr = xResolution;
    const double yr = yResolution;
    layout.minEasting = ToInt32((int64_t{Round32(minEasting / xr)} + 1) * xResolution);
    layout.maxEasting = ToInt32(int64_t{Round32(maxEasting / xr)} * xResolution);
    layout.minNorthing = ToInt32(int64_t{Floor32(minNorthing / yr)} * yResolution);
    layout.maxNorthing = ToInt32((int64_t{Round32(maxNorthing / yr)} - 1) * yResolution);
    layout.dataRows = Round32(
        static_cast<double>(int64_t{layout.maxNorthing} - layout.minNorthing) / yr + 1);
    layout.dataColumns = Round32(
        static_cast<double>(int64_t{layout.maxEasting} - layout.minEasting) / xr + 1);
    layout.recordLength = ToInt32(int64_t{lucfile::kCellSize} * layout.dataColumns);

    if (layout.dataRows < 1 || layout.dataColumns < lucfile::kMinDataColumns) return std::nullopt;
    ToInt32(int64_t{layout.dataRows} * layout.recordLength);  // the data block size is 32-bit
    return layout;
  } catch (const NoValidGrid&) {
    return std::nullopt;
  }
}

namespace {

// The per-row search of GridFill::kRuns.
//
// Along a row (constant northing) of a transverse Mercator grid, longitude
// grows strictly with the easting (meridians cross every row once), and
// latitude changes monotonically on either side of the central meridian (it
// peaks there in the north and bottoms out there in the south: parallels bow
// toward the pole). So on each half of a row, split at easting 500000, each of
// the cell's four edge tests holds on one interval of columns.
//
// The computed latitude and longitude differ from those monotone functions by
// far less than kConversionError. Between two columns where one edge test is
// passed with a margin of at least 2 * kConversionError, every column passes
// it; where the same test fails at both ends by that margin, every column
// between fails it. Any other span is halved and the middle column converted,
// down to neighbouring columns. Columns that are converted get exactly the
// per-point answer, the others an answer proven equal to it.
constexpr double kConversionError = 1e-9;  // degrees, about 0.1 mm
constexpr double kMargin = 2 * kConversionError;
// Half-rows whose ends are not this far inside +-180 may cross the antimeridian,
// where longitudes wrap; they are converted point by point.
constexpr double kWrapGuard = 1e-6;
constexpr double kCentralEasting = 500000.0;

// Bits of the edge tests that a point certainly fails.
enum : unsigned {
  kBelowSouthEdge = 1,
  kOnOrAboveNorthEdge = 2,
  kOnOrWestOfWestEdge = 4,
  kEastOfEastEdge = 8,
};

struct Sample {
  bool inside = false;           // the per-point answer
  bool certainlyInside = false;  // every edge test passed with the margin
  unsigned certainlyFails = 0;   // edge tests failed by the margin
  double longitude = 0;
};

class RowFiller {
 public:
  RowFiller(const TileGridLayout& layout, double seLatitude, double seLongitude, int16_t fillValue)
      : layout_(layout),
        seLatitude_(seLatitude),
        seLongitude_(seLongitude),
        south_(seLatitude),
        north_(seLatitude + 1),
        west_(seLongitude - 1),
        east_(seLongitude),
        fillValue_(fillValue),
        centralMeridian_(6.0 * layout.gridZone - 183.0) {}

  void FillPerPoint(int32_t row, int16_t* cells) const {
    const double northing = Northing(row);
    for (int32_t c = 0; c < layout_.dataColumns; ++c) cells[c] = ValueAt(Evaluate(c, northing).inside);
  }

  void FillByRuns(int32_t row, int16_t* cells) const {
    const double northing = Northing(row);
    // Columns 0..split-1 lie on or west of the central meridian, the rest east of it.
    int32_t split = 0;
    if (layout_.minEasting <= kCentralEasting) {
      const int64_t onOrWest =
          (static_cast<int64_t>(kCentralEasting) - layout_.minEasting) / layout_.xResolution + 1;
      split = static_cast<int32_t>(std::min<int64_t>(onOrWest, layout_.dataColumns));
    }
    FillHalfRow(0, split, northing, cells);
    FillHalfRow(split, layout_.dataColumns, northing, cells);
  }

 private:
  double Northing(int32_t row) const {
    return static_cast<double>(int64_t{layout_.maxNorthing} - int64_t{row} * layout_.yResolution);
  }
  double Easting(int32_t column) const {
    return static_cast<double>(int64_t{layout_.minEasting} + int64_t{column} * layout_.xResolution);
  }
  int16_t ValueAt(bool inside) const { return inside ? fillValue_ : kPaddingValue; }

  Sample Evaluate(int32_t column, double northing) const {
    const GeoPoint p = UtmToGeographic(layout_.gridZone, Easting(column), northing);
    Sample s;
    s.longitude = p.longitude;
    s.inside = InOneDegreeCell(p.latitude, p.longitude, seLatitude_, seLongitude_);
    // Written so that NaN is never certain of anything.
    s.certainlyInside = p.latitude >= south_ + kMargin && p.latitude < north_ - kMargin &&
                        p.longitude > west_ + kMargin && p.longitude <= east_ - kMargin;
    if (p.latitude < south_ - kMargin) s.certainlyFails |= kBelowSouthEdge;
    if (p.latitude >= north_ + kMargin) s.certainlyFails |= kOnOrAboveNorthEdge;
    if (p.longitude <= west_ - kMargin) s.certainlyFails |= kOnOrWestOfWestEdge;
    if (p.longitude > east_ + kMargin) s.certainlyFails |= kEastOfEastEdge;
    return s;
  }

  bool FarFromAntimeridian(const Sample& s) const {
    return std::abs(s.longitude - centralMeridian_) < 90.0 &&
           std::abs(s.longitude) < 180.0 - kWrapGuard;
  }

  // Columns [first, end) of one half-row.
  void FillHalfRow(int32_t first, int32_t end, double northing, int16_t* cells) const {
    if (first >= end) return;
    const int32_t last = end - 1;
    const Sample a = Evaluate(first, northing);
    cells[first] = ValueAt(a.inside);
    if (last == first) return;
    const Sample b = Evaluate(last, northing);
    cells[last] = ValueAt(b.inside);
    if (!FarFromAntimeridian(a) || !FarFromAntimeridian(b)) {
      for (int32_t c = first + 1; c < last; ++c) cells[c] = ValueAt(Evaluate(c, northing).inside);
      return;
    }
    FillBetween(first, a, last, b, northing, cells);
  }

  // Columns strictly between i and j, whose samples are known.
  void FillBetween(int32_t i, const Sample& a, int32_t j, const Sample& b, double northing,
                   int16_t* cells) const {
    if (j - i < 2) return;
    if ((a.certainlyInside && b.certainlyInside) || (a.certainlyFails & b.certainlyFails) != 0) {
      const int16_t value = ValueAt(a.certainlyInside && b.certainlyInside);
      for (int32_t c = i + 1; c < j; ++c) cells[c] = value;
      return;
    }
    const int32_t m = i + (j - i) / 2;
    const Sample s = Evaluate(m, northing);
    cells[m] = ValueAt(s.inside);
    FillBetween(i, a, m, s, northing, cells);
    FillBetween(m, s, j, b, northing, cells);
  }

  const TileGridLayout& layout_;
  double seLatitude_, seLongitude_;
  double south_, north_, west_, east_;  // the cell's edges in degrees
  int16_t fillValue_;
  double centralMeridian_;
};

}  // namespace

void FillTileGrid(const TileGridLayout& layout, double seLatitude, double seLongitude,
                  int16_t fillValue, std::span<int16_t> grid, GridFill method, int maxThreads) {
  const RowFiller filler(layout, seLatitude, seLongitude, fillValue);
  const int32_t rows = layout.dataRows;
  const std::size_t columns = static_cast<std::size_t>(layout.dataColumns);
  auto fillRows = [&](int32_t firstRow, int32_t step) {
    for (int32_t r = firstRow; r < rows; r += step) {
      int16_t* cells = grid.data() + static_cast<std::size_t>(r) * columns;
      if (method == GridFill::kPerPoint) {
        filler.FillPerPoint(r, cells);
      } else {
        filler.FillByRuns(r, cells);
      }
    }
  };

  // Small grids are not worth a thread.
  constexpr int64_t kCellsPerExtraThread = 1 << 18;
  const int64_t cells = int64_t{rows} * layout.dataColumns;
  const int threads =
      static_cast<int>(std::max<int64_t>(1, std::min<int64_t>(maxThreads, cells / kCellsPerExtraThread)));
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<std::size_t>(threads));
  for (int t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(fillRows, t, threads);
    } catch (const std::system_error&) {
      fillRows(t, threads);  // no thread to be had: do its share here
    }
  }
  fillRows(0, threads);
  for (auto& helper : helpers) helper.join();
}

}  // namespace tilbo
