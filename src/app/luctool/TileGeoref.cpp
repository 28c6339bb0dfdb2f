#include "luctool/TileGeoref.h"

#include "luc/LUCFileV1.h"

namespace tilbo::luctool {

TileGeoref GeorefOf(LUCFileV1& luc) {
  TileGeoref g;
  g.zone = luc.UTMZone();
  g.rows = luc.DataRows();
  g.columns = luc.DataColumns();
  g.recordLength = luc.RecordLength();
  const double xRes = luc.XResolution();
  const double yRes = luc.YResolution();
  g.epsg = Wgs84UtmNorthEpsg(g.zone);
  if (g.epsg == 0) {
    g.error = "UTM zone " + std::to_string(g.zone) + " is not a zone from 1 to 60";
    return g;
  }
  if (xRes <= 0 || yRes <= 0 || g.rows < 1 || g.columns < 1) {
    g.error = "the header gives no grid (resolution or size not positive)";
    return g;
  }
  const double westColumnEasting = luc.MaxEasting() - (g.columns - 1.0) * xRes;
  g.geoTransform = {westColumnEasting - xRes / 2, xRes, 0, luc.MaxNorthing() + yRes / 2, 0, -yRes};
  return g;
}

}  // namespace tilbo::luctool
