#include "luctool/GdalTile.h"

#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

#include "ctg/LULCCodes.h"
#include "luc/TileName.h"
#include "suite/AtomicFile.h"
#include "luctool/LandUsePalette.h"

namespace tilbo::luctool {
namespace {

constexpr int kCellBytes = 2;
// GeoTIFF refuses palettes on signed bands with this error, then keeps the
// table in the .aux.xml (which is what we want), so it is not a failure here.
constexpr const char* kPaletteNotInTiff = "Unable to export color table";

void RegisterDriversOnce() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

// Collects GDAL's failures while alive instead of printing them.
class GdalErrors {
 public:
  GdalErrors() { CPLPushErrorHandlerEx(&Collect, this); }
  ~GdalErrors() { CPLPopErrorHandler(); }
  GdalErrors(const GdalErrors&) = delete;
  GdalErrors& operator=(const GdalErrors&) = delete;

  // The first failure that matters, or empty.
  std::string First() const {
    for (const std::string& m : messages_) {
      if (m.find(kPaletteNotInTiff) == std::string::npos) return m;
    }
    return {};
  }

 private:
  static void CPL_STDCALL Collect(CPLErr level, CPLErrorNum, const char* message) {
    auto* self = static_cast<GdalErrors*>(CPLGetErrorHandlerUserData());
    if (level >= CE_Failure) self->messages_.emplace_back(message != nullptr ? message : "GDAL error");
  }
  std::vector<std::string> messages_;
};

std::string TemporarySibling(const std::string& path) {
  return path + "." + std::to_string(getpid()) + ".part";
}

void RemoveQuietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

// Sets everything but the pixels: reference system, geotransform, nodata,
// colours and category names.
std::string DescribeTile(GDALDataset& ds, const TileGeoref& georef) {
  OGRSpatialReference srs;
  if (srs.importFromEPSG(georef.epsg) != OGRERR_NONE) {
    return "EPSG:" + std::to_string(georef.epsg) + " unknown to GDAL";
  }
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  std::array<double, 6> transform = georef.geoTransform;
  if (ds.SetSpatialRef(&srs) != CE_None || ds.SetGeoTransform(transform.data()) != CE_None) {
    return "cannot set the coordinate reference system";
  }
  GDALRasterBand* band = ds.GetRasterBand(1);
  band->SetDescription("land use and land cover code");
  band->SetNoDataValue(kPaddingValue);
  GDALColorTable colours;
  CPLStringList names;
  for (int32_t code = 0; code <= kHighestPaletteCode; ++code) {
    const Rgba c = CodeColour(code);
    const GDALColorEntry entry{c.r, c.g, c.b, c.a};
    colours.SetColorEntry(code, &entry);
    names.AddString(LULCCodeDescription(code).c_str());
  }
  band->SetColorTable(&colours);
  band->SetColorInterpretation(GCI_PaletteIndex);
  band->SetCategoryNames(names.List());
  return {};
}

// A VRT dataset whose band reads the tile's grid where it lies.
GDALDatasetUniquePtr TileVrt(const std::string& vrtPath, const std::string& source, bool relativeToVrt,
                             const TileGeoref& georef, std::string& error) {
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("VRT");
  if (driver == nullptr) {
    error = "GDAL has no VRT driver";
    return nullptr;
  }
  GDALDatasetUniquePtr ds(driver->Create(vrtPath.c_str(), georef.columns, georef.rows, 0, GDT_Int16, nullptr));
  if (!ds) {
    error = "cannot create a VRT dataset";
    return nullptr;
  }
  CPLStringList band;
  band.SetNameValue("subClass", "VRTRawRasterBand");
  band.SetNameValue("SourceFilename", source.c_str());
  band.SetNameValue("relativeToVRT", relativeToVrt ? "1" : "0");
  band.SetNameValue("ImageOffset", std::to_string(georef.recordLength).c_str());
  band.SetNameValue("PixelOffset", std::to_string(kCellBytes).c_str());
  band.SetNameValue("LineOffset", std::to_string(georef.recordLength).c_str());
  band.SetNameValue("ByteOrder", "LSB");
  if (ds->AddBand(GDT_Int16, band.List()) != CE_None) {
    error = "cannot read the tile's grid through GDAL";
    return nullptr;
  }
  error = DescribeTile(*ds, georef);
  if (!error.empty()) return nullptr;
  return ds;
}

// GDAL writes a file beside the target; it is placed by the rules every
// replaced file follows, and the file GDAL wrote is removed.
bool PlaceInto(const std::string& from, const std::string& to, std::string& error) {
  std::string bytes;
  const bool placed = ReadWholeFileBytes(from, bytes) && ReplaceFileAtomically(to, bytes);
  if (!placed) error = "cannot write " + to + ": " + std::strerror(errno);
  RemoveQuietly(from);
  return placed;
}

}  // namespace

std::string WriteTileVrt(const std::string& tilePath, const TileGeoref& georef, const std::string& vrtPath) {
  RegisterDriversOnce();
  const std::string temporary = TemporarySibling(vrtPath);
  std::string error;
  {
    GdalErrors errors;
    // Relative to the VRT: the tile's name as seen from the VRT's directory.
    const std::filesystem::path vrtDir = std::filesystem::absolute(vrtPath).parent_path();
    const std::string source =
        std::filesystem::absolute(tilePath).lexically_relative(vrtDir).string();
    GDALDatasetUniquePtr ds = TileVrt(temporary, source, true, georef, error);
    if (ds) ds.reset();  // closing writes the XML
    if (error.empty()) error = errors.First();
  }
  if (error.empty() && PlaceInto(temporary, vrtPath, error)) return {};
  RemoveQuietly(temporary);
  return error;
}

std::string WriteTileGeoTiff(const std::string& tilePath, const TileGeoref& georef, const std::string& tifPath) {
  RegisterDriversOnce();
  const std::string temporary = TemporarySibling(tifPath);
  const std::string temporaryAux = temporary + ".aux.xml";
  std::string error;
  {
    GdalErrors errors;
    GDALDatasetUniquePtr vrt =
        TileVrt("", std::filesystem::absolute(tilePath).string(), false, georef, error);
    GDALDriver* gtiff = GetGDALDriverManager()->GetDriverByName("GTiff");
    if (vrt && gtiff == nullptr) error = "GDAL has no GeoTIFF driver";
    if (error.empty()) {
      CPLStringList options;
      options.SetNameValue("TILED", "YES");
      options.SetNameValue("COMPRESS", "DEFLATE");
      GDALDatasetUniquePtr tif(
          gtiff->CreateCopy(temporary.c_str(), vrt.get(), FALSE, options.List(), nullptr, nullptr));
      tif.reset();  // closing flushes the file and its .aux.xml
      error = errors.First();
      if (error.empty() && !std::filesystem::exists(temporary)) error = "cannot write the GeoTIFF";
    }
  }
  if (error.empty() && PlaceInto(temporaryAux, tifPath + ".aux.xml", error) &&
      PlaceInto(temporary, tifPath, error)) {
    return {};
  }
  RemoveQuietly(temporary);
  RemoveQuietly(temporaryAux);
  return error;
}

}  // namespace tilbo::luctool
