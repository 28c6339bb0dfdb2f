// The coordinate model of LUCFileV1: coordinate modes, the conversions from
// geographic and UTM positions to grid cells, and the test of a position
// against the tile's one-degree cell.

#include <cmath>
#include <limits>

#include "coords/UtmCon.h"
#include "luc/LUCFileV1.h"
#include "luc/TileGrid.h"
#include "suite/Rounding.h"

namespace tilbo {
namespace {

int32_t Round32(double value) {
  const auto rounded = RoundToInt<int32_t>(value);
  if (!rounded) throw LucArithmeticError("overflow: value beyond the 32-bit range");
  return *rounded;
}

int32_t Checked32(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    throw LucArithmeticError("overflow: value beyond the 32-bit range");
  }
  return static_cast<int32_t>(value);
}

double Divide(double numerator, int16_t resolution) {
  if (resolution == 0) throw LucArithmeticError("division by zero: resolution of 0");
  return numerator / resolution;
}

// The grid header fields the mapping from UTM to cells uses.
struct GridFrame {
  int16_t yResolution;
  int32_t maxNorthing;
  int16_t xResolution;
  int32_t maxEasting;
  int32_t dataColumns;
};

// The position is snapped to the nearest grid point, then counted in rows
// down from MaxNorthing and in columns back from MaxEasting (the eastern
// column is DataColumns - 1).
void UtmToRowColumn(const GridFrame& f, double utmNorth, double utmEast, int32_t& row,
                    int32_t& column) {
  const int32_t snappedNorth =
      Checked32(int64_t{Round32(Divide(utmNorth, f.yResolution))} * f.yResolution);
  const int32_t rowsDown = Checked32(int64_t{f.maxNorthing} - snappedNorth);
  const int32_t snappedEast =
      Checked32(int64_t{Round32(Divide(utmEast, f.xResolution))} * f.xResolution);
  const int32_t metresBack = Checked32(int64_t{f.maxEasting} - snappedEast);
  const int32_t newRow = Round32(Divide(rowsDown, f.yResolution));
  const int32_t newColumn = Round32(f.dataColumns - Divide(metresBack, f.xResolution) - 1);
  row = newRow;
  column = newColumn;
}

GeoPoint ConvertUtmToGeographic(int16_t zone, double easting, double northing) {
  int32_t reserved = 0;
  int32_t forcedZone = 0;
  int32_t direction = kUtmToGeographic;
  GeoPoint p;
  utmcon(reserved, zone, forcedZone, p.latitude, p.longitude, easting, northing, direction);
  return p;
}

}  // namespace

void LUCFileV1::SetCoordinateMode(int32_t newMode) {
  if (newMode != kGridCoordinates && newMode != kUtmCoordinates &&
      newMode != kGeographicCoordinates) {
    lastError_ = kBadCoordinateMode;
    return;
  }
  coordinateMode_ = newMode;
  lastError_ = kNoError;
}

void LUCFileV1::ConLatLonUTM(double latitude, double longitude, double& utmNorth,
                             double& utmEast) {
  int32_t reserved = 0;
  int32_t forcedZone = 0;
  int32_t direction = kGeographicToUtm;
  // A closed object reads zone 0: the point is converted in its own zone.
  int16_t zone = UTMZone();
  double easting = 0;
  double northing = 0;
  utmcon(reserved, zone, forcedZone, latitude, longitude, easting, northing, direction);
  utmNorth = northing;
  utmEast = easting;
}

void LUCFileV1::ConLatLonFile(double latitude, double longitude, int32_t& row, int32_t& column) {
  double utmNorth = 0;
  double utmEast = 0;
  ConLatLonUTM(latitude, longitude, utmNorth, utmEast);
  ConUTMFile(utmNorth, utmEast, row, column);
}

void LUCFileV1::ConUTMFile(double utmNorth, double utmEast, int32_t& row, int32_t& column) {
  GridFrame frame{};
  frame.yResolution = YResolution();
  frame.maxNorthing = MaxNorthing();
  frame.xResolution = XResolution();
  frame.maxEasting = MaxEasting();
  frame.dataColumns = DataColumns();
  UtmToRowColumn(frame, utmNorth, utmEast, row, column);
}

void LUCFileV1::CreateCLLFUSStep(double /*origLatitude*/, double /*origLongitude*/) {}

void LUCFileV1::ConLatLonFileUseStep(double /*latitude*/, double /*longitude*/, int32_t& /*row*/,
                                     int32_t& /*col*/) {}

void LUCFileV1::ClearCLLFUSStep() {}

bool LUCFileV1::InFile(double& x, double& y) {
  if (openMode_ == kClosed) {
    lastError_ = kFileNotOpen;
    return false;
  }
  double latitude = y;
  double longitude = x;
  if (coordinateMode_ == kGridCoordinates || coordinateMode_ == kUtmCoordinates) {
    if (coordinateMode_ == kGridCoordinates) {
      // The caller's column and row become the cell point's easting and northing.
      const double easting = MinEasting() + XResolution() * x;
      const double northing = MaxNorthing() - YResolution() * y;
      if (std::isinf(easting) || std::isinf(northing)) {
        throw LucArithmeticError("overflow: grid position beyond range");
      }
      x = easting;
      y = northing;
    }
    const GeoPoint p = ConvertUtmToGeographic(UTMZone(), x, y);
    latitude = p.latitude;
    longitude = p.longitude;
  }
  return InOneDegreeCell(latitude, longitude, SECornerLatitude(), SECornerLongitude());
}

void LUCFileV1::ResolveCell(double x, double y, int32_t& row, int32_t& column) {
  switch (coordinateMode_) {
    case kUtmCoordinates:
      ConUTMFile(y, x, row, column);
      return;
    case kGeographicCoordinates:
      // The step cache is never turned on, so this is always ConLatLonFile.
      ConLatLonFile(y, x, row, column);
      return;
    default:
      row = Round32(y);
      column = Round32(x);
  }
}

bool LUCFileV1::InCell(double latitude, double longitude) const {
  return openMode_ != kClosed &&
         InOneDegreeCell(latitude, longitude, copy_.seCornerLatitude, copy_.seCornerLongitude);
}

void LUCFileV1::SetLULCValueAtUtm(double utmNorth, double utmEast, int16_t newValue) {
  if (openMode_ == kClosed) {
    lastError_ = kFileNotOpen;
    return;
  }
  try {
    const GridFrame frame{copy_.yResolution, copy_.maxNorthing, copy_.xResolution,
                          copy_.maxEasting, copy_.dataColumns};
    int32_t row = 0;
    int32_t column = 0;
    UtmToRowColumn(frame, utmNorth, utmEast, row, column);
    const bool written = CellInGrid(row, column) && WriteCell(row, column, newValue);
    lastError_ = written ? kNoError : kUnknownError;
  } catch (...) {
    lastError_ = kUnknownError;
  }
}

}  // namespace tilbo
