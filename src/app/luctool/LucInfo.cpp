#include "luctool/LucInfo.h"

#include <cstdio>
#include <exception>
#include <map>
#include <ostream>
#include <vector>

#include "luc/LUCFileV1.h"
#include "luc/TileName.h"
#include "ctg/LULCCodes.h"
#include "luc/LucFileLayout.h"
#include "luctool/Json.h"
#include "luctool/TileGeoref.h"
#include "shell/SourceFileKind.h"
#include "suite/TextUtil.h"

namespace tilbo::luctool {
namespace {

// A stored text field without its padding (spaces or zero bytes).
std::string Unpadded(const std::string& field) {
  const auto end = field.find_last_not_of(std::string(" \0", 2));
  return end == std::string::npos ? std::string() : field.substr(0, end + 1);
}

// "40 N", "104.7 W".
std::string Degrees(double value, char positive, char negative) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.10g %c", value < 0 ? -value : value,
                value < 0 ? negative : positive);
  return buf;
}

// The tile name of the corner fields; empty when they are no position on the
// earth (a damaged header).
std::string TileNameOf(double seLatitude, double seLongitude) {
  try {
    return LUCTileName(seLatitude, seLongitude);
  } catch (const std::exception&) {
    return {};
  }
}

std::string Percent(int64_t part, int64_t whole) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%5.1f%%", whole > 0 ? 100.0 * part / whole : 0.0);
  return buf;
}

struct TileFacts {
  std::string title, dataSource;
  int16_t zone = 0, xResolution = 0, yResolution = 0;
  double seLatitude = 0, seLongitude = 0, nwLatitude = 0, nwLongitude = 0;
  int32_t minNorthing = 0, maxNorthing = 0, minEasting = 0, maxEasting = 0;
  int32_t rows = 0, columns = 0, recordLength = 0;
  int64_t cells = 0, paddingCells = 0;
  std::map<int32_t, int64_t> codeCounts;  // padding not included
};

TileFacts Gather(LUCFileV1& luc) {
  TileFacts f;
  f.title = Unpadded(luc.Title());
  f.dataSource = Unpadded(luc.DataSource());
  f.zone = luc.UTMZone();
  f.xResolution = luc.XResolution();
  f.yResolution = luc.YResolution();
  f.seLatitude = luc.SECornerLatitude();
  f.seLongitude = luc.SECornerLongitude();
  f.nwLatitude = luc.NWCornerLatitude();
  f.nwLongitude = luc.NWCornerLongitude();
  f.minNorthing = luc.MinNorthing();
  f.maxNorthing = luc.MaxNorthing();
  f.minEasting = luc.MinEasting();
  f.maxEasting = luc.MaxEasting();
  f.rows = luc.DataRows();
  f.columns = luc.DataColumns();
  f.recordLength = luc.RecordLength();
  const auto cells = luc.GridCells();
  f.cells = static_cast<int64_t>(cells.size());
  std::vector<int64_t> tally(1 << 16, 0);  // indexed by code + 32768
  for (int16_t cell : cells) ++tally[static_cast<std::size_t>(cell + 32768)];
  for (std::size_t i = 0; i < tally.size(); ++i) {
    const auto code = static_cast<int32_t>(i) - 32768;
    if (tally[i] == 0) continue;
    if (code == kPaddingValue) {
      f.paddingCells = tally[i];
    } else {
      f.codeCounts[code] = tally[i];
    }
  }
  return f;
}

void PrintText(const std::string& path, const TileFacts& f, std::ostream& out) {
  const int64_t coded = f.cells - f.paddingCells;
  out << "LUC tile " << path << "\n"
      << "  Title            " << f.title << "\n"
      << "  Data source      " << f.dataSource << "\n"
      << "  Cell             " << Degrees(f.seLatitude, 'N', 'S') << " to "
      << Degrees(f.seLatitude + 1, 'N', 'S') << ", " << Degrees(f.seLongitude - 1, 'E', 'W')
      << " to " << Degrees(f.seLongitude, 'E', 'W') << " (tile " << TileNameOf(f.seLatitude, f.seLongitude)
      << ")\n"
      << "  NW corner fields " << f.nwLatitude << ", " << f.nwLongitude << "\n"
      << "  UTM zone         " << f.zone
      << (Wgs84UtmNorthEpsg(f.zone) == 0
              ? std::string(" (not a UTM zone)")
              : " (WGS 84 / UTM zone " + std::to_string(f.zone) + "N, EPSG:" +
                    std::to_string(Wgs84UtmNorthEpsg(f.zone)) + "; southern tiles have negative northings)")
      << "\n"
      << "  Datum            " << kDatumNote << "\n"
      << "  Grid             " << f.rows << " rows x " << f.columns << " columns of " << f.xResolution
      << " x " << f.yResolution << " m\n"
      << "  Eastings         " << f.minEasting << " .. " << f.maxEasting << " m (column 0 west)\n"
      << "  Northings        " << f.maxNorthing << " .. " << f.minNorthing << " m (row 0 north)\n"
      << "  Record length    " << f.recordLength << " bytes\n"
      << "Cells: " << f.cells << ", padding " << f.paddingCells << ", coded " << coded << "\n";
  for (const auto& [code, count] : f.codeCounts) {
    char line[64];
    std::snprintf(line, sizeof line, "  %6d %10lld %s  ", code, static_cast<long long>(count),
                  Percent(count, coded).c_str());
    out << line << LULCCodeDescription(code) << "\n";
  }
}

void PrintJson(const std::string& path, const TileFacts& f, std::ostream& out) {
  JsonWriter w;
  w.BeginObject();
  w.Key("kind").String("luc");
  w.Key("path").String(path);
  w.Key("title").String(f.title);
  w.Key("dataSource").String(f.dataSource);
  w.Key("tileName").String(TileNameOf(f.seLatitude, f.seLongitude));
  w.Key("seCornerLatitude").Number(f.seLatitude);
  w.Key("seCornerLongitude").Number(f.seLongitude);
  w.Key("nwCornerLatitude").Number(f.nwLatitude);
  w.Key("nwCornerLongitude").Number(f.nwLongitude);
  w.Key("utmZone").Int(f.zone);
  if (Wgs84UtmNorthEpsg(f.zone) != 0) w.Key("crs").String("EPSG:" + std::to_string(Wgs84UtmNorthEpsg(f.zone)));
  w.Key("datum").String(kDatumName);
  w.Key("datumNote").String(kDatumNote);
  w.Key("dataRows").Int(f.rows);
  w.Key("dataColumns").Int(f.columns);
  w.Key("xResolution").Int(f.xResolution);
  w.Key("yResolution").Int(f.yResolution);
  w.Key("minEasting").Int(f.minEasting);
  w.Key("maxEasting").Int(f.maxEasting);
  w.Key("minNorthing").Int(f.minNorthing);
  w.Key("maxNorthing").Int(f.maxNorthing);
  w.Key("recordLength").Int(f.recordLength);
  w.Key("cells").Int(f.cells);
  w.Key("paddingCells").Int(f.paddingCells);
  w.Key("codes").BeginArray();
  for (const auto& [code, count] : f.codeCounts) {
    w.BeginObject();
    w.Key("code").Int(code);
    w.Key("cells").Int(count);
    w.Key("description").String(LULCCodeDescription(code));
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  out << w.str() << "\n";
}

}  // namespace

bool LooksLikeLucFile(const std::string& path) { return SniffSourceFileKind(path) == SourceFileKind::kLucTile; }

int PrintLucInfo(const std::string& path, bool json, Io& io) {
  LUCFileV1 luc;
  luc.SetFileName(path);
  luc.SetOpenMode(LUCFileV1::kMemoryIo);
  if (luc.LastError() != LUCFileV1::kNoError) {
    io.err << "luctool: " << path << ": " << LUCFileV1::ErrorDescription(luc.LastError()) << "\n";
    return 1;
  }
  const TileFacts facts = Gather(luc);
  if (json) {
    PrintJson(path, facts, io.out);
  } else {
    PrintText(path, facts, io.out);
  }
  return 0;
}

}  // namespace tilbo::luctool
