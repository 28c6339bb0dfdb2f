#include "coords/UtmCon.h"

#include <GeographicLib/TransverseMercator.hpp>

#include <cmath>
#include <limits>

namespace tilbo {
namespace {

constexpr double kFalseEasting = 500000.0;
constexpr double kZoneWidthDegrees = 6.0;
constexpr int kZoneCount = 60;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsValidZone(long long zone) { return zone >= 1 && zone <= kZoneCount; }

// Central meridian of a zone: zone 1 is centred on 177 W.
double CentralMeridian(int zone) { return kZoneWidthDegrees * zone - 183.0; }

// The western boundary of a zone: zone 1 starts at 180 W. Exact for every zone.
double WestBoundary(int zone) { return kZoneWidthDegrees * (zone - 1) - 180.0; }

}  // namespace

int16_t UtmZoneOfLongitude(double longitude) {
  if (!std::isfinite(longitude)) return 0;
  // Into (-180, 180]: 180 W is the same meridian as 180 E, the east edge of zone 60.
  double lon = std::remainder(longitude, 360.0);
  if (lon == -180.0) lon = 180.0;
  int zone = static_cast<int>(std::ceil((lon + 180.0) / kZoneWidthDegrees));
  // lon + 180 may round onto a boundary; settle the zone by exact comparisons
  // with its boundaries (multiples of 6 are exact) so that a longitude just
  // east of a boundary is never counted to the west.
  if (zone < 1) zone = 1;
  if (zone > kZoneCount) zone = kZoneCount;
  while (zone < kZoneCount && lon > WestBoundary(zone + 1)) ++zone;
  while (zone > 1 && lon <= WestBoundary(zone)) --zone;
  return static_cast<int16_t>(zone);
}

UtmPoint GeographicToUtm(double latitude, double longitude, int16_t zone) {
  UtmPoint result;
  result.zone = zone == 0 ? UtmZoneOfLongitude(longitude) : zone;
  if (!IsValidZone(result.zone)) {
    result.easting = kNaN;
    result.northing = kNaN;
    return result;
  }
  double x = 0;
  double y = 0;
  // Forward gives NaN for latitudes beyond the poles; that passes through.
  GeographicLib::TransverseMercator::UTM().Forward(CentralMeridian(result.zone), latitude, longitude,
                                                   x, y);
  result.easting = x + kFalseEasting;
  result.northing = y;  // signed distance from the equator: no false northing
  return result;
}

GeoPoint UtmToGeographic(int16_t zone, double easting, double northing) {
  GeoPoint result;
  if (!IsValidZone(zone)) {
    result.latitude = kNaN;
    result.longitude = kNaN;
    return result;
  }
  GeographicLib::TransverseMercator::UTM().Reverse(CentralMeridian(zone), easting - kFalseEasting,
                                                   northing, result.latitude, result.longitude);
  return result;
}

int32_t utmcon(int32_t& /*reserved*/, int16_t& zone, int32_t& forcedZone, double& latitude,
               double& longitude, double& easting, double& northing, int32_t& direction) {
  if (direction == kGeographicToUtm) {
    int16_t asked = zone;
    if (forcedZone != 0) {
      // A forced zone outside 1..60 converts to nothing (NaN), like any other invalid zone.
      asked = IsValidZone(forcedZone) ? static_cast<int16_t>(forcedZone) : int16_t{-1};
    }
    const UtmPoint point = GeographicToUtm(latitude, longitude, asked);
    if (IsValidZone(point.zone)) zone = point.zone;
    easting = point.easting;
    northing = point.northing;
    return IsValidZone(point.zone) ? 0 : -1;
  }
  if (direction == kUtmToGeographic) {
    const GeoPoint point = UtmToGeographic(zone, easting, northing);
    latitude = point.latitude;
    longitude = point.longitude;
    return IsValidZone(zone) ? 0 : -1;
  }
  return -1;
}

}  // namespace tilbo
