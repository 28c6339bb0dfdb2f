#include "coords/UtmCon.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace tilbo {
namespace {

using ::testing::NanSensitiveDoubleEq;

constexpr double kMillimetre = 0.001;
// One millimetre along a meridian, in degrees.
constexpr double kMillimetreOfLatitude = kMillimetre / 111320.0;

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
    SCOPED_TRACE(::testing::Message() << "zone " << p.zone << " lat " << p.latitude << " lon " << p.longitude);
    // Both directions through the entry, in the zone of the table (argument 2).
    int32_t reserved = 0, forced = 0, toUtm = kGeographicToUtm, toGeographic = kUtmToGeographic;
    int16_t zone = static_cast<int16_t>(p.zone);
    double lat = p.latitude, lon = p.longitude, easting = 0, northing = 0;
    utmcon(reserved, zone, forced, lat, lon, easting, northing, toUtm);
    EXPECT_EQ(zone, p.zone);
    EXPECT_NEAR(easting, p.easting, kMillimetre);
    EXPECT_NEAR(northing, p.northing, kMillimetre);
    // From PROJ's easting and northing back onto the same point.
    easting = p.easting;
    northing = p.northing;
    utmcon(reserved, zone, forced, lat, lon, easting, northing, toGeographic);
    EXPECT_NEAR(lat, p.latitude, kMillimetreOfLatitude);
    EXPECT_NEAR(std::remainder(lon - p.longitude, 360.0) * std::cos(p.latitude * std::numbers::pi / 180), 0.0,
                kMillimetreOfLatitude);
    // With no zone asked, a point in its own zone gets that zone.
    if (UtmZoneOfLongitude(p.longitude) == p.zone) {
      EXPECT_EQ(GeographicToUtm(p.latitude, p.longitude).zone, p.zone);
    }
  }
}

// A forced zone wins over argument 2. An invalid zone or direction gives -1
// and leaves argument 2 as it was; an invalid zone converts to NaN.
TEST(UtmCon, EntryHonoursTheForcedZoneAndRefusesInvalidArguments) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const struct {
    int16_t zone;
    int32_t forced, direction, result;
    int16_t zoneAfter;
    double latitude, easting;  // after the call
  } cases[] = {
      {12, 14, kGeographicToUtm, 0, 14, 40.0, GeographicToUtm(40.0, -105.0, 14).easting},
      {13, 99, kGeographicToUtm, -1, 13, 40.0, kNaN},
      {-3, 0, kGeographicToUtm, -1, -3, 40.0, kNaN},
      {61, 0, kUtmToGeographic, -1, 61, kNaN, 500000.0},
      {13, 0, 3, -1, 13, 40.0, 500000.0},  // changes nothing
  };
  for (auto c : cases) {
    SCOPED_TRACE(::testing::Message() << c.zone << " " << c.forced << " " << c.direction);
    int32_t reserved = 0;
    double lat = 40.0, lon = -105.0, easting = 500000.0, northing = 4427757.2187;
    EXPECT_EQ(utmcon(reserved, c.zone, c.forced, lat, lon, easting, northing, c.direction), c.result);
    EXPECT_EQ(c.zone, c.zoneAfter);
    EXPECT_THAT(lat, NanSensitiveDoubleEq(c.latitude));
    EXPECT_THAT(easting, NanSensitiveDoubleEq(c.easting));
  }
  EXPECT_TRUE(std::isnan(GeographicToUtm(95.0, -105.0).northing));  // beyond the pole
}

}  // namespace
}  // namespace tilbo
