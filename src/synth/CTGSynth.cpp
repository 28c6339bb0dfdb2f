#include "synth/CTGSynth.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "coords/UtmCon.h"
#include "ctg/CTGDecode.h"
#include "suite/AtomicFile.h"
#include "suite/Rounding.h"

namespace tilbo {
namespace {

// UTM is defined from 80 S to 84 N.
constexpr double kSouthernmostLatitude = -80.0;
constexpr double kNorthernmostLatitude = 84.0;
constexpr int32_t kMaxCellSize = 9998;      // 5 columns, even
constexpr int32_t kMaxGridDimension = 32767;  // 16-bit grid dimensions
// A guard against typing mistakes (a 2 m cell over a whole quadrangle): 8 GB.
constexpr int64_t kMaxRecords = 100'000'000;
// Easting and northing of data records have 8 columns.
constexpr int64_t kMinField8 = -9'999'999;
constexpr int64_t kMaxField8 = 99'999'999;
// DDD of a DDDMMSS field has 3 columns; the sign takes one.
constexpr int64_t kMinDegreesField = -99;
constexpr int64_t kMaxDegreesField = 999;
constexpr int kEdgeSamples = 256;  // points per quadrangle edge when finding the UTM extent

constexpr int kThemeOverlays = 4;
constexpr int kMapCodeLandUse = 17;
constexpr int kProjectionUtm = 1;
constexpr long kRec1Real61 = 7874016;  // the value every known real header carries there
constexpr std::size_t kTitleColumns = 64;
constexpr std::size_t kDateColumns = 10;

// Land-use fields that make a record unreadable: outside the 16-bit range,
// and exactly the marker limit (not above it).
constexpr const char* kUnreadableCodes[] = {"99999", "2000000000"};

struct LatLon {
  double latitude;
  double longitude;
};

// The six control points clockwise from the south-west corner.
std::array<LatLon, 6> ControlPoints(const SynthOptions& o) {
  const double north = o.south + o.height;
  const double east = o.west + o.width;
  const double middle = o.west + o.width / 2;
  return {{{o.south, o.west}, {north, o.west}, {north, middle}, {north, east}, {o.south, east}, {o.south, middle}}};
}

// A DDDMMSS field value in whole seconds with the degrees floored, so that a
// negative value keeps positive minutes and seconds: -33.5 is -34 degrees 30
// minutes, which decodes as (30 / 60 + -34).
struct DMS {
  int64_t degrees;
  int64_t minutes;
  int64_t seconds;
};

DMS ToDMS(double value) {
  const auto total = static_cast<int64_t>(RoundHalfEven(value * 3600.0));
  int64_t degrees = total / 3600;
  if (total % 3600 < 0) --degrees;
  const int64_t rest = total - degrees * 3600;
  return {degrees, rest / 60, rest % 60};
}

bool DegreesFit(double value) {
  const DMS d = ToDMS(value);
  return d.degrees >= kMinDegreesField && d.degrees <= kMaxDegreesField;
}

std::string DMSField(double value) {
  const DMS d = ToDMS(value);
  char text[64];  // room for any long long, though degrees have three digits
  std::snprintf(text, sizeof text, "%3lld%02lld%02lld", static_cast<long long>(d.degrees),
                static_cast<long long>(d.minutes), static_cast<long long>(d.seconds));
  return text;
}

void PutRight(std::string& record, std::size_t column, std::size_t width, const std::string& text) {
  record.replace(column - 1, width, std::string(width - text.size(), ' ') + text);
}

bool IsDateText(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == ' ' || c == '-'; });
}

// --- Deterministic hashing (the same file for the same seed everywhere) ---

uint64_t Mix(uint64_t z) {
  z += 0x9e3779b97f4a7c15ULL;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

uint64_t Hash(uint64_t seed, int64_t a, int64_t b, uint64_t salt) {
  return Mix(seed ^ Mix(static_cast<uint64_t>(a) ^ Mix(static_cast<uint64_t>(b) ^ Mix(salt))));
}

// A value in [0, 1) from a hash.
double Unit(uint64_t h) { return static_cast<double>(h >> 11) * 0x1.0p-53; }

// --- The patch pattern ---
// Landscapes (forest, farmland, town...) cover regions of a few kilometres;
// within them patches of a few cells take codes by the landscape's mix.
// Both are cells of jittered-grid Voronoi diagrams; the cell position is
// warped by smooth noise first so that patch edges are ragged.

struct CodeWeight {
  int16_t code;
  int weight;
};

struct Landscape {
  int weight;
  std::vector<CodeWeight> codes;
};

const std::vector<Landscape>& Landscapes() {
  // Each landscape has one dominant code, as a real quadrangle has a
  // background class with smaller areas of others scattered through it.
  static const std::vector<Landscape> landscapes = {
      {50, {{43, 150}, {41, 12}, {42, 12}, {21, 8}, {52, 6}, {61, 6}, {62, 2}, {11, 2}, {17, 1}, {75, 1}}},  // forest
      {20, {{21, 150}, {43, 15}, {41, 5}, {22, 3}, {24, 4}, {23, 1}, {11, 5}, {14, 2}, {52, 2}, {61, 3}}},  // farmland
      {6, {{11, 120}, {12, 20}, {13, 12}, {14, 12}, {16, 8}, {17, 8}, {15, 3}, {21, 8}, {43, 8}}},  // town
      {10, {{33, 120}, {31, 25}, {32, 25}, {21, 8}, {74, 4}, {73, 3}, {51, 2}}},                   // rangeland
      {7, {{52, 100}, {61, 25}, {62, 20}, {53, 8}, {51, 4}, {54, 4}, {43, 10}}},                   // lakes, wetland
      {4, {{74, 100}, {73, 20}, {77, 15}, {72, 5}, {71, 5}, {75, 5}, {76, 5}, {32, 15}}},          // barren
      {3, {{82, 80}, {81, 30}, {84, 20}, {83, 15}, {85, 10}, {91, 10}, {92, 8}, {52, 5}}},         // tundra, snow
  };
  return landscapes;
}

template <typename Item>
const Item& Pick(const std::vector<Item>& items, int Item::*weight, uint64_t h) {
  int total = 0;
  for (const Item& item : items) total += item.*weight;
  int target = static_cast<int>(h % static_cast<uint64_t>(total));
  for (const Item& item : items) {
    if (target < item.*weight) return item;
    target -= item.*weight;
  }
  return items.back();
}

class PatchField {
 public:
  explicit PatchField(uint64_t seed) : seed_(seed) {}

  // The code at a cell given in cell units (easting / cell size, northing / cell size).
  int16_t Code(int64_t x, int64_t y) const {
    const double wx = static_cast<double>(x) + kWarpAmplitude * Noise(x, y, kWarpSpacing, kSaltWarpX);
    const double wy = static_cast<double>(y) + kWarpAmplitude * Noise(x, y, kWarpSpacing, kSaltWarpY);
    double siteX = 0;
    double siteY = 0;
    int64_t patchX = 0;
    int64_t patchY = 0;
    NearestSite(wx, wy, kPatchSpacing, kSaltPatch, patchX, patchY, siteX, siteY);
    // The landscape of the patch's own site, so that no patch is cut in two;
    // warped on a larger scale so that landscape borders wander.
    const auto sx = static_cast<int64_t>(std::floor(siteX));
    const auto sy = static_cast<int64_t>(std::floor(siteY));
    const double rx = siteX + kRegionWarpAmplitude * Noise(sx, sy, kRegionWarpSpacing, kSaltRegionWarpX);
    const double ry = siteY + kRegionWarpAmplitude * Noise(sx, sy, kRegionWarpSpacing, kSaltRegionWarpY);
    double regionSiteX = 0;
    double regionSiteY = 0;
    int64_t regionX = 0;
    int64_t regionY = 0;
    NearestSite(rx, ry, kRegionSpacing, kSaltRegion, regionX, regionY, regionSiteX, regionSiteY);
    const Landscape& landscape =
        Pick(Landscapes(), &Landscape::weight, Hash(seed_, regionX, regionY, kSaltLandscape));
    return Pick(landscape.codes, &CodeWeight::weight, Hash(seed_, patchX, patchY, kSaltCode)).code;
  }

 private:
  static constexpr double kPatchSpacing = 7;    // cells
  static constexpr double kRegionSpacing = 140;  // cells
  static constexpr double kWarpAmplitude = 2.5;
  static constexpr int64_t kWarpSpacing = 6;
  static constexpr double kRegionWarpAmplitude = 45;
  static constexpr int64_t kRegionWarpSpacing = 50;
  static constexpr uint64_t kSaltWarpX = 1, kSaltWarpY = 2, kSaltPatch = 3, kSaltRegion = 4,
                            kSaltLandscape = 5, kSaltCode = 6, kSaltRegionWarpX = 9, kSaltRegionWarpY = 10;

  // Smooth value noise in [-1, 1] on a lattice of `spacing` cells.
  double Noise(int64_t x, int64_t y, int64_t spacing, uint64_t salt) const {
    const int64_t gx = FloorDiv(x, spacing);
    const int64_t gy = FloorDiv(y, spacing);
    const double fx = Smooth(static_cast<double>(x - gx * spacing) / static_cast<double>(spacing));
    const double fy = Smooth(static_cast<double>(y - gy * spacing) / static_cast<double>(spacing));
    auto at = [&](int64_t i, int64_t j) { return 2 * Unit(Hash(seed_, i, j, salt)) - 1; };
    const double south = at(gx, gy) + (at(gx + 1, gy) - at(gx, gy)) * fx;
    const double north = at(gx, gy + 1) + (at(gx + 1, gy + 1) - at(gx, gy + 1)) * fx;
    return south + (north - south) * fy;
  }

  // The nearest of the sites jittered one per square of `spacing` cells.
  void NearestSite(double px, double py, double spacing, uint64_t salt, int64_t& idX, int64_t& idY,
                   double& siteX, double& siteY) const {
    const auto bx = static_cast<int64_t>(std::floor(px / spacing));
    const auto by = static_cast<int64_t>(std::floor(py / spacing));
    double best = INFINITY;
    for (int64_t j = by - 1; j <= by + 1; ++j) {
      for (int64_t i = bx - 1; i <= bx + 1; ++i) {
        const uint64_t h = Hash(seed_, i, j, salt);
        const double sx = (static_cast<double>(i) + Unit(h)) * spacing;
        const double sy = (static_cast<double>(j) + Unit(Mix(h))) * spacing;
        const double d = (sx - px) * (sx - px) + (sy - py) * (sy - py);
        if (d < best) {
          best = d;
          idX = i;
          idY = j;
          siteX = sx;
          siteY = sy;
        }
      }
    }
  }

  static int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b) < 0 ? 1 : 0); }
  static double Smooth(double t) { return t * t * (3 - 2 * t); }

  uint64_t seed_;
};

// The records to make unreadable: `count` distinct data record indices (from
// 0) out of `records`, chosen by the seed (Floyd's sampling), ascending.
std::vector<int64_t> ChooseBadRecords(uint64_t seed, int64_t records, int64_t count) {
  constexpr uint64_t kSaltBad = 7;
  std::unordered_set<int64_t> chosen;
  for (int64_t j = records - count; j < records; ++j) {
    const auto t = static_cast<int64_t>(Hash(seed, j, 0, kSaltBad) % static_cast<uint64_t>(j + 1));
    chosen.insert(chosen.count(t) ? j : t);
  }
  std::vector<int64_t> sorted(chosen.begin(), chosen.end());
  std::sort(sorted.begin(), sorted.end());
  return sorted;
}

}  // namespace

int16_t SynthHashCode(int32_t easting, int32_t northing) {
  static constexpr int16_t kCodes[] = {11, 12, 13, 14, 15, 16, 17, 21, 22, 23, 24, 31, 32, 33, 41, 42, 43,
                                       51, 52, 53, 54, 61, 62, 71, 72, 73, 74, 75, 76, 77, 81, 82, 83, 84,
                                       85, 91, 92};
  uint32_t h = static_cast<uint32_t>(easting) * 73856093u ^ static_cast<uint32_t>(northing) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return kCodes[h % (sizeof kCodes / sizeof kCodes[0])];
}

SynthPlan PlanSynthGrid(const SynthOptions& o) {
  SynthPlan plan;
  auto fail = [&](std::string why) {
    plan.error = std::move(why);
    return plan;
  };
  if (!std::isfinite(o.south) || !std::isfinite(o.west) || !std::isfinite(o.height) || !std::isfinite(o.width)) {
    return fail("the corner and extent must be numbers");
  }
  if (o.height <= 0 || o.width <= 0) return fail("height and width must be positive");
  if (o.south < kSouthernmostLatitude || o.south + o.height > kNorthernmostLatitude) {
    return fail("the quadrangle must lie between 80 S and 84 N");
  }
  if (o.west < -180 || o.west + o.width > 180) return fail("the quadrangle must lie between 180 W and 180 E");
  if (o.cellSize < 2 || o.cellSize > kMaxCellSize || o.cellSize % 2 != 0) {
    return fail("the cell size must be an even number of metres from 2 to 9998");
  }
  if (o.title.size() > kTitleColumns) return fail("the title has more than 64 characters");
  if (o.dataDate.size() > kDateColumns || !IsDateText(o.dataDate)) {
    return fail("the data date must be at most 10 digits, blanks or \"-\"");
  }
  for (const LatLon& p : ControlPoints(o)) {
    // Longitudes are written negated (west positive).
    if (!DegreesFit(p.latitude) || !DegreesFit(-p.longitude)) {
      return fail("longitudes east of 99 E cannot be written in a CTG header");
    }
  }
  if (o.badRecords < 0) return fail("the number of bad records cannot be negative");

  SynthGrid grid;
  grid.zone = UtmZoneOfLongitude(o.west + o.width / 2);
  grid.cellSize = o.cellSize;
  // The UTM extent of the quadrangle: its edges are curves in UTM, so sample them.
  double minE = INFINITY, maxE = -INFINITY, minN = INFINITY, maxN = -INFINITY;
  auto extend = [&](double latitude, double longitude) {
    const UtmPoint p = GeographicToUtm(latitude, longitude, grid.zone);
    minE = std::min(minE, p.easting);
    maxE = std::max(maxE, p.easting);
    minN = std::min(minN, p.northing);
    maxN = std::max(maxN, p.northing);
  };
  for (int i = 0; i <= kEdgeSamples; ++i) {
    const double f = static_cast<double>(i) / kEdgeSamples;
    extend(o.south, o.west + f * o.width);
    extend(o.south + o.height, o.west + f * o.width);
    extend(o.south + f * o.height, o.west);
    extend(o.south + f * o.height, o.west + o.width);
  }
  if (!std::isfinite(minE) || !std::isfinite(maxE) || !std::isfinite(minN) || !std::isfinite(maxN)) {
    return fail("the quadrangle cannot be placed on the UTM grid");
  }
  // The cells whose centres are nearest the extremes bound the grid.
  const double cell = o.cellSize;
  const double westCentre = RoundHalfEven(minE / cell) * cell;
  const double eastCentre = RoundHalfEven(maxE / cell) * cell;
  const double northCentre = RoundHalfEven(maxN / cell) * cell;
  const double southCentre = RoundHalfEven(minN / cell) * cell;
  const double columns = (eastCentre - westCentre) / cell + 1;
  const double rows = (northCentre - southCentre) / cell + 1;
  if (columns > kMaxGridDimension || rows > kMaxGridDimension) {
    return fail("the grid would have more than 32767 rows or columns; use a larger cell");
  }
  if (columns * rows > static_cast<double>(kMaxRecords)) {
    return fail("the file would hold more than 100 million records; use a larger cell");
  }
  if (westCentre < kMinField8 || eastCentre > kMaxField8 || southCentre < kMinField8 || northCentre > kMaxField8) {
    return fail("eastings or northings would not fit their 8 columns");
  }
  grid.columns = static_cast<int32_t>(columns);
  grid.rows = static_cast<int32_t>(rows);
  grid.refCornerEasting = static_cast<int32_t>(westCentre) - o.cellSize / 2;
  grid.refCornerNorthing = static_cast<int32_t>(northCentre) + o.cellSize / 2;
  if (o.badRecords > grid.Records()) return fail("there are fewer records than bad records asked for");
  plan.grid = grid;
  return plan;
}

std::string SynthHeaderRecords(const SynthOptions& o, const SynthGrid& g) {
  const std::string blank(kCTGRecordLength, ' ');
  std::string r1 = blank;
  PutRight(r1, 1, 10, std::to_string(g.rows));
  PutRight(r1, 11, 10, std::to_string(2 * g.Records()));
  PutRight(r1, 21, 10, std::to_string(g.columns));
  PutRight(r1, 31, 5, "0");
  PutRight(r1, 36, 5, std::to_string(g.cellSize));
  PutRight(r1, 41, 5, std::to_string(kThemeOverlays));
  PutRight(r1, 46, 5, std::to_string(kMapCodeLandUse));
  PutRight(r1, 51, 5, std::to_string(g.zone));
  PutRight(r1, 56, 5, std::to_string(kProjectionUtm));
  PutRight(r1, 61, 10, std::to_string(kRec1Real61));

  const std::array<LatLon, 6> points = ControlPoints(o);
  std::string r2 = blank;
  PutRight(r2, 1, 5, "1");
  PutRight(r2, 6, 5, "1");
  PutRight(r2, 11, 5, std::to_string(g.columns));
  PutRight(r2, 16, 5, std::to_string(g.rows));
  for (std::size_t i = 0; i < points.size(); ++i) {
    const UtmPoint p = GeographicToUtm(points[i].latitude, points[i].longitude, g.zone);
    const auto column = static_cast<long long>(RoundHalfEven((p.easting - g.refCornerEasting) / g.cellSize));
    const auto row = static_cast<long long>(RoundHalfEven((g.refCornerNorthing - p.northing) / g.cellSize));
    PutRight(r2, 21 + 10 * i, 5, std::to_string(column));
    PutRight(r2, 26 + 10 * i, 5, std::to_string(row));
  }

  std::string r3 = blank;
  std::string r4 = blank;
  for (std::size_t i = 0; i < points.size(); ++i) {
    std::string& record = i < 4 ? r3 : r4;
    const std::size_t column = 1 + 20 * (i % 4);
    PutRight(record, column, 10, DMSField(points[i].latitude));
    PutRight(record, column + 10, 10, DMSField(-points[i].longitude));  // west positive
  }
  PutRight(r4, 41, 10, std::to_string(g.refCornerEasting));
  PutRight(r4, 51, 10, std::to_string(g.refCornerNorthing));
  PutRight(r4, 61, 10, o.dataDate);

  std::string r5 = blank;
  r5.replace(0, o.title.size(), o.title);
  return r1 + r2 + r3 + r4 + r5;
}

SynthWriteResult WriteSynthCTG(const SynthOptions& options, const std::string& path) {
  SynthWriteResult result;
  const SynthPlan plan = PlanSynthGrid(options);
  if (!plan.grid) {
    result.error = plan.error;
    return result;
  }
  const SynthGrid& g = *plan.grid;

  if (path.empty() || path.back() == '/') {
    result.error = path + ": no file name";
    return result;
  }
  FileReplacement out;
  const auto fail = [&] {
    result.error = path + ": " + std::strerror(errno);
    return result;
  };
  if (!out.Begin(path)) return fail();
  if (!out.Write(SynthHeaderRecords(options, g))) return fail();
  const PatchField patches(options.seed);
  const std::vector<int64_t> bad = ChooseBadRecords(options.seed, g.Records(), options.badRecords);
  auto nextBad = bad.begin();
  const double north = options.south + options.height;
  const double east = options.west + options.width;
  std::string row;
  // The five other theme fields (columns 31-80) are 0, as in the real sample.
  const std::string otherThemes = "         0         0         0         0         0";
  char fields[64];
  for (int32_t r = 0; r < g.rows; ++r) {
    row.clear();
    const int32_t northing = g.CentreNorthing(r);
    for (int32_t c = 0; c < g.columns; ++c) {
      const int32_t easting = g.CentreEasting(c);
      const GeoPoint at = UtmToGeographic(g.zone, easting, northing);
      const bool inside = at.latitude >= options.south && at.latitude <= north && at.longitude >= options.west &&
                          at.longitude <= east;
      int16_t code = 0;
      if (inside) {
        code = options.pattern == SynthPattern::kHash
                   ? SynthHashCode(easting, northing)
                   : patches.Code(easting / g.cellSize, northing / g.cellSize);
      }
      std::string codeText = std::to_string(code);
      const int64_t index = static_cast<int64_t>(r) * g.columns + c;
      if (nextBad != bad.end() && *nextBad == index) {
        codeText = kUnreadableCodes[Hash(options.seed, index, 1, 8) % 2];
        ++nextBad;
      }
      // Every value fits its columns (checked by the plan): 30 characters.
      std::snprintf(fields, sizeof fields, "%3d%8d%8d %10s", g.zone, easting, northing, codeText.c_str());
      row.append(fields);
      row.append(otherThemes);
    }
    if (!out.Write(row)) return fail();
  }
  if (!out.Commit()) return fail();
  result.ok = true;
  result.grid = g;
  return result;
}

}  // namespace tilbo
