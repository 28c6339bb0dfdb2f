#include "coords/UtmCon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace tilbo {
namespace {

constexpr double kMillimetre = 0.001;
constexpr double kMetresPerDegree = 111320.0;  // along a meridian, close enough for tolerances

// Distance in metres between two nearby geographic positions.
double GroundDistance(double lat1, double lon1, double lat2, double lon2) {
  const double dNorth = (lat1 - lat2) * kMetresPerDegree;
  const double dEast = std::remainder(lon1 - lon2, 360.0) * kMetresPerDegree *
                       std::cos(lat1 * std::numbers::pi / 180.0);
  return std::hypot(dNorth, dEast);
}

struct ReferencePoint {
  int16_t zone;
  double latitude, longitude, easting, northing;
};

std::vector<ReferencePoint> LoadProjReference() {
  std::ifstream in(std::string(TILBO_TEST_DATA_DIR) + "/utm_reference_proj.csv");
  std::vector<ReferencePoint> points;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    ReferencePoint p{};
    char comma = 0;
    int zone = 0;
    fields >> zone >> comma >> p.latitude >> comma >> p.longitude >> comma >> p.easting >> comma >>
        p.northing;
    p.zone = static_cast<int16_t>(zone);
    points.push_back(p);
  }
  return points;
}

TEST(UtmZoneOfLongitude, SixDegreeZonesWithBoundariesToTheWest) {
  EXPECT_EQ(UtmZoneOfLongitude(-177.0), 1);
  EXPECT_EQ(UtmZoneOfLongitude(-179.999), 1);
  EXPECT_EQ(UtmZoneOfLongitude(-105.0), 13);
  EXPECT_EQ(UtmZoneOfLongitude(-102.0), 13);  // boundary 13|14 belongs to 13
  EXPECT_EQ(UtmZoneOfLongitude(std::nextafter(-102.0, 0.0)), 14);
  EXPECT_EQ(UtmZoneOfLongitude(-101.9999999999), 14);
  EXPECT_EQ(UtmZoneOfLongitude(0.0), 30);
  EXPECT_EQ(UtmZoneOfLongitude(1e-300), 31);
  EXPECT_EQ(UtmZoneOfLongitude(180.0), 60);
  EXPECT_EQ(UtmZoneOfLongitude(-180.0), 60);  // the same meridian as 180 E
  EXPECT_EQ(UtmZoneOfLongitude(183.0), 1);    // wraps around
  EXPECT_EQ(UtmZoneOfLongitude(std::nan("")), 0);
  EXPECT_EQ(UtmZoneOfLongitude(INFINITY), 0);
}

TEST(UtmCon, AgreesWithProjWithinOneMillimetre) {
  const auto points = LoadProjReference();
  ASSERT_EQ(points.size(), 300u);
  for (const auto& p : points) {
    SCOPED_TRACE("zone " + std::to_string(p.zone) + " lat " + std::to_string(p.latitude) +
                 " lon " + std::to_string(p.longitude));
    // Geographic to UTM in the zone of the table (a forced zone through the entry).
    int32_t reserved = 0, forced = p.zone, direction = kGeographicToUtm;
    int16_t zone = 0;
    double lat = p.latitude, lon = p.longitude, easting = 0, northing = 0;
    utmcon(reserved, zone, forced, lat, lon, easting, northing, direction);
    EXPECT_EQ(zone, p.zone);
    EXPECT_NEAR(easting, p.easting, kMillimetre);
    EXPECT_NEAR(northing, p.northing, kMillimetre);

    // UTM to geographic from PROJ's easting and northing lands on the same point.
    const GeoPoint back = UtmToGeographic(p.zone, p.easting, p.northing);
    EXPECT_LT(GroundDistance(back.latitude, back.longitude, p.latitude, p.longitude), kMillimetre);
  }
}

TEST(UtmCon, OwnZoneIsChosenWhenNoneIsAsked) {
  for (const auto& p : LoadProjReference()) {
    if (UtmZoneOfLongitude(p.longitude) != p.zone) continue;  // the points outside their zone
    const UtmPoint utm = GeographicToUtm(p.latitude, p.longitude);
    EXPECT_EQ(utm.zone, p.zone);
    EXPECT_NEAR(utm.easting, p.easting, kMillimetre);
    EXPECT_NEAR(utm.northing, p.northing, kMillimetre);
  }
}

TEST(UtmCon, ForwardThenReverseReturnsWithinOneMillimetre) {
  int checked = 0;
  for (int zone = 1; zone <= 60; ++zone) {
    const double centre = 6.0 * zone - 183.0;
    for (double lat = -80.0; lat <= 84.0; lat += 3.7) {
      // Across the zone, both edges included, and two degrees beyond them in a forced zone.
      for (double offset = -5.0; offset <= 5.0; offset += 0.25) {
        const double lon = centre + offset;
        const UtmPoint utm = GeographicToUtm(lat, lon, static_cast<int16_t>(zone));
        const GeoPoint back = UtmToGeographic(utm.zone, utm.easting, utm.northing);
        ASSERT_LT(GroundDistance(lat, lon, back.latitude, back.longitude), kMillimetre)
            << "zone " << zone << " lat " << lat << " lon " << lon;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 100000);
}

TEST(UtmCon, NorthingIsSignedAndEastingCentredOnTheMeridian) {
  const UtmPoint south = GeographicToUtm(-33.0, -105.0);
  EXPECT_EQ(south.zone, 13);
  EXPECT_NEAR(south.easting, 500000.0, 1e-6);
  EXPECT_LT(south.northing, -3600000.0);
  EXPECT_NEAR(GeographicToUtm(33.0, -105.0).northing, -south.northing, 1e-6);  // symmetric
  EXPECT_EQ(GeographicToUtm(0.0, -104.0).northing, 0.0);

  // A point on the 13|14 boundary is converted in zone 13, east of its meridian.
  const UtmPoint edge = GeographicToUtm(40.0, -102.0);
  EXPECT_EQ(edge.zone, 13);
  EXPECT_GT(edge.easting, 500000.0);
  EXPECT_LT(GeographicToUtm(40.0, -101.999).easting, 500000.0);  // zone 14, west of -99
}

TEST(UtmCon, EntryHonoursZoneArgumentsAndDirection) {
  int32_t reserved = 0, forced = 0, direction = kGeographicToUtm;
  int16_t zone = 12;  // asked for: a point of zone 13 converted in zone 12
  double lat = 40.0, lon = -105.0, easting = 0, northing = 0;
  EXPECT_EQ(utmcon(reserved, zone, forced, lat, lon, easting, northing, direction), 0);
  EXPECT_EQ(zone, 12);
  EXPECT_GT(easting, 500000.0 + 4 * 85000.0);  // six degrees east of zone 12's meridian

  forced = 14;  // a forced zone wins over argument 2
  zone = 12;
  utmcon(reserved, zone, forced, lat, lon, easting, northing, direction);
  EXPECT_EQ(zone, 14);
  EXPECT_LT(easting, 500000.0 - 4 * 85000.0);

  // Direction 2 in zone 14 returns the point.
  direction = kUtmToGeographic;
  forced = 0;
  lat = lon = 0;
  utmcon(reserved, zone, forced, lat, lon, easting, northing, direction);
  EXPECT_NEAR(lat, 40.0, 1e-9);
  EXPECT_NEAR(lon, -105.0, 1e-9);

  // An unknown direction changes nothing; an invalid zone gives NaN.
  direction = 3;
  EXPECT_EQ(utmcon(reserved, zone, forced, lat, lon, easting, northing, direction), -1);
  EXPECT_NEAR(lat, 40.0, 1e-9);
  direction = kUtmToGeographic;
  zone = 61;
  EXPECT_EQ(utmcon(reserved, zone, forced, lat, lon, easting, northing, direction), -1);
  EXPECT_TRUE(std::isnan(lat));
  EXPECT_TRUE(std::isnan(GeographicToUtm(40.0, -105.0, -3).easting));
  EXPECT_TRUE(std::isnan(GeographicToUtm(95.0, -105.0).northing));
}

}  // namespace
}  // namespace tilbo
