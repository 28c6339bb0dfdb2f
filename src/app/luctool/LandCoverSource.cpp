#include "luctool/LandCoverSource.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_vsi.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <mutex>

namespace tilbo::luctool {

std::string GdalReason(const std::string& fallback) {
  const std::string message = CPLGetLastErrorMsg();
  return message.empty() ? fallback : message;
}

std::optional<LandCoverSource> OpenSource(const std::string& name, std::string& error) {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
  LandCoverSource s;
  s.dataset.reset(GDALDataset::Open(name.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
  if (!s.dataset) {
    VSIStatBufL stat;
    error = name + (VSIStatL(name.c_str(), &stat) != 0 ? ": no such file" : ": GDAL cannot open it as a raster");
    return std::nullopt;
  }
  if (s.dataset->GetRasterCount() != 1) {
    error = name + ": has " + std::to_string(s.dataset->GetRasterCount()) + " bands; one band of classes is needed";
    return std::nullopt;
  }
  s.band = s.dataset->GetRasterBand(1);
  const GDALDataType type = s.band->GetRasterDataType();
  if (!GDALDataTypeIsInteger(type) || GDALDataTypeIsComplex(type) || GDALGetDataTypeSizeBits(type) > 32 ||
      type == GDT_UInt32) {
    error = name + ": its band holds " + GDALGetDataTypeName(type) + " values; land-cover classes are integers of "
            "at most 16 bits or signed 32 bits";
    return std::nullopt;
  }
  const OGRSpatialReference* srs = s.dataset->GetSpatialRef();
  if (srs == nullptr || srs->IsEmpty()) {
    error = name + ": has no coordinate reference system";
    return std::nullopt;
  }
  char* wkt = nullptr;
  srs->exportToWkt(&wkt);
  s.wkt = wkt != nullptr ? wkt : "";
  CPLFree(wkt);
  if (s.dataset->GetGeoTransform(s.geoTransform.data()) != CE_None) {
    error = name + ": has no geotransform (no position for its cells)";
    return std::nullopt;
  }
  int hasNoData = 0;
  const double noData = s.band->GetNoDataValue(&hasNoData);
  if (hasNoData != 0 && noData == std::trunc(noData) && std::fabs(noData) <= std::numeric_limits<int32_t>::max()) {
    s.noData = static_cast<int32_t>(noData);
  }
  s.columns = s.dataset->GetRasterXSize();
  s.rows = s.dataset->GetRasterYSize();
  return s;
}

std::optional<std::array<double, 4>> GeographicExtent(const LandCoverSource& s, std::string& error) {
  OGRSpatialReference from;
  OGRSpatialReference to;
  from.importFromWkt(s.wkt.c_str());
  to.importFromEPSG(4326);
  from.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  to.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  std::unique_ptr<OGRCoordinateTransformation> ct(OGRCreateCoordinateTransformation(&from, &to));
  const std::array<double, 6>& g = s.geoTransform;
  double xs[4];
  double ys[4];
  for (int corner = 0; corner < 4; ++corner) {
    const double col = (corner & 1) != 0 ? s.columns : 0;
    const double row = (corner & 2) != 0 ? s.rows : 0;
    xs[corner] = g[0] + col * g[1] + row * g[2];
    ys[corner] = g[3] + col * g[4] + row * g[5];
  }
  constexpr int kDensify = 21;
  double w = 0;
  double so = 0;
  double e = 0;
  double n = 0;
  if (!ct || !ct->TransformBounds(*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4),
                                  *std::max_element(xs, xs + 4), *std::max_element(ys, ys + 4), &w, &so, &e,
                                  &n, kDensify)) {
    error = GdalReason("its extent does not convert to latitude and longitude");
    return std::nullopt;
  }
  return std::array<double, 4>{so, w, n, e};
}

}  // namespace tilbo::luctool
