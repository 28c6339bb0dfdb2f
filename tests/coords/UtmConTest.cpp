#include "coords/UtmCon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
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
  int zone;
  double latitude, longitude, easting, northing;
};

// Points computed with PROJ (the file says how).
std::vector<ReferencePoint> LoadProjReference() {
  std::ifstream in(std::string(TILBO_TEST_DATA_DIR) + "/utm_reference_proj.csv");
  std::vector<ReferencePoint> points;
  ReferencePoint p{};
  for (std::string line; std::getline(in, line);) {
    if (std::sscanf(line.c_str(), "%d,%lf,%lf,%lf,%lf", &p.zone, &p.latitude, &p.longitude,
                    &p.easting, &p.northing) == 5) {
      points.push_back(p);  // comment lines ("#") do not scan
    }
  }
  return points;
}

TEST(UtmZoneOfLongitude, SixDegreeZonesWithBoundariesToTheWest) {
  const struct {
    double longitude;
    int16_t zone;
  } cases[] = {
      {-177.0, 1}, {-179.999, 1}, {-105.0, 13}, {-102.0, 13},  // 13|14 belongs to 13
      {std::nextafter(-102.0, 0.0), 14}, {-101.9999999999, 14}, {0.0, 30}, {1e-300, 31},
      {180.0, 60}, {-180.0, 60}, {183.0, 1}, {std::nan(""), 0}, {INFINITY, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(UtmZoneOfLongitude(c.longitude), c.zone) << c.longitude;
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
    // With no zone asked, a point in its own zone gets that zone.
    if (UtmZoneOfLongitude(p.longitude) == p.zone) {
      const UtmPoint own = GeographicToUtm(p.latitude, p.longitude);
      EXPECT_EQ(own.zone, p.zone);
      EXPECT_NEAR(own.easting, p.easting, kMillimetre);
      EXPECT_NEAR(own.northing, p.northing, kMillimetre);
    }
    // UTM to geographic from PROJ's easting and northing lands on the same point.
    const GeoPoint back = UtmToGeographic(static_cast<int16_t>(p.zone), p.easting, p.northing);
    EXPECT_LT(GroundDistance(back.latitude, back.longitude, p.latitude, p.longitude), kMillimetre);
  }
}

TEST(UtmCon, EntryHonoursZoneArgumentsAndDirection) {
  int32_t reserved = 0, forced = 0, direction = kGeographicToUtm;
  int16_t zone = 12;  // asked for: a point of zone 13 converted in zone 12 ...
  double lat = 40.0, lon = -105.0, easting = 0, northing = 0;
  auto call = [&] { return utmcon(reserved, zone, forced, lat, lon, easting, northing, direction); };
  EXPECT_EQ(call(), 0);
  EXPECT_EQ(zone, 12);
  EXPECT_NEAR(easting, 500000.0 + 512000.0, 1000.0);  // six degrees east of the meridian at 40 N
  forced = 14;  // ... and a forced zone wins over argument 2
  zone = 12;
  EXPECT_EQ(call(), 0);
  EXPECT_EQ(zone, 14);
  EXPECT_NEAR(easting, 500000.0 - 512000.0, 1000.0);
  direction = kUtmToGeographic;  // back from zone 14
  lat = lon = 0;
  EXPECT_EQ(call(), 0);
  EXPECT_NEAR(lat, 40.0, 1e-9);
  EXPECT_NEAR(lon, -105.0, 1e-9);
  // An unknown direction changes nothing; an invalid zone gives NaN.
  direction = 3;
  EXPECT_EQ(call(), -1);
  EXPECT_NEAR(lat, 40.0, 1e-9);
  direction = kUtmToGeographic;
  zone = 61;
  EXPECT_EQ(call(), -1);
  EXPECT_TRUE(std::isnan(lat));
  direction = kGeographicToUtm;  // a forced zone beyond 60 leaves argument 2 as it was
  lat = 40.0;
  zone = 13;
  forced = 99;
  EXPECT_EQ(call(), -1);
  EXPECT_EQ(zone, 13);
  EXPECT_TRUE(std::isnan(easting));
  EXPECT_TRUE(std::isnan(GeographicToUtm(40.0, -105.0, -3).easting));
  EXPECT_TRUE(std::isnan(GeographicToUtm(95.0, -105.0).northing));
}

}  // namespace
}  // namespace tilbo
