#pragma once
// Conversion between geographic coordinates (decimal degrees, north and east
// positive) and UTM (zone, easting and northing in metres) on the WGS84
// ellipsoid, standard 6-degree zones without regional exceptions.
//
// Conventions every caller relies on:
// - A zone's central meridian has the easting 500000; eastings grow eastward.
// - A northing is the signed distance from the equator in metres: negative in
//   the southern hemisphere (there is no false northing), so a zone, an easting
//   and a northing name exactly one point.
// - A longitude exactly on a zone boundary belongs to the zone west of it.
// - Direction 1 then direction 2 in the same zone returns to the point.

#include <cstdint>

namespace tilbo {

inline constexpr int32_t kGeographicToUtm = 1;
inline constexpr int32_t kUtmToGeographic = 2;

// The suite's eight-argument conversion entry. Every argument is in/out:
//  1 reserved (0)
//  2 zone:        direction 1: in, the zone to use (0: the point's own zone); out, the zone used
//                 direction 2: in, the zone of the easting and northing
//  3 forcedZone:  direction 1: when not 0, the zone to use in place of argument 2
//  4 latitude, 5 longitude (degrees): in for direction 1, out for direction 2
//  6 easting, 7 northing (metres):    out for direction 1, in for direction 2
//  8 direction:   1 geographic to UTM, 2 UTM to geographic
// The result is 0, or -1 when the direction or the zone is not valid (callers
// do not look at it). A zone outside 1..60 (asked, forced or given for
// direction 2) converts to NaN and leaves argument 2 unchanged; latitudes
// beyond the poles give NaN as well.
int32_t utmcon(int32_t& reserved, int16_t& zone, int32_t& forcedZone, double& latitude,
               double& longitude, double& easting, double& northing, int32_t& direction);

// The zone a longitude lies in (1..60), boundaries belonging to the zone west
// of them (180 W and 180 E are the east edge of zone 60); 0 for NaN or infinity.
int16_t UtmZoneOfLongitude(double longitude);

// Typed forms of the two directions, for new code.
struct UtmPoint {
  int16_t zone = 0;
  double easting = 0;
  double northing = 0;
};
struct GeoPoint {
  double latitude = 0;
  double longitude = 0;
};
// zone 0: the point's own zone. An invalid zone gives NaN coordinates.
UtmPoint GeographicToUtm(double latitude, double longitude, int16_t zone = 0);
GeoPoint UtmToGeographic(int16_t zone, double easting, double northing);

}  // namespace tilbo
