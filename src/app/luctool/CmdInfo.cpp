// luctool info FILE [--json]: what a file holds. CTG quadrangles show their
// decoded header, record count and corners. The kind of file is told by its
// first bytes, so other kinds get their own describing function.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "ctg/CTGFile.h"
#include "luctool/CtgSource.h"
#include "luctool/Json.h"
#include "luctool/LucInfo.h"
#include "luctool/TileGeoref.h"
#include "luctool/Luctool.h"
#include "shell/SourceDescription.h"
#include "shell/SourceFileKind.h"
#include "shell/TilePlan.h"
#include "suite/NumberFormat.h"
#include "suite/TextUtil.h"

namespace tilbo::luctool {
namespace {

struct InfoOptions {
  std::string path;
  bool json = false;
};

struct InfoArgs {
  std::vector<std::string> paths;
  bool json = false;
};

struct ControlPoint {
  const char* role;
  double latitude;
  double longitude;
};

std::array<ControlPoint, 6> ControlPoints(const CTGHeader& h) {
  return {{{"south-west", h.Point1Latitude, h.Point1Longitude},
           {"north-west", h.Point2Latitude, h.Point2Longitude},
           {"north middle", h.Point3Latitude, h.Point3Longitude},
           {"north-east", h.Point4Latitude, h.Point4Longitude},
           {"south-east", h.Point5Latitude, h.Point5Longitude},
           {"south middle", h.Point6Latitude, h.Point6Longitude}}};
}

struct Bounds {
  double south, north, west, east;
};

Bounds BoundsOf(const CTGHeader& h) {
  const auto points = ControlPoints(h);
  Bounds b{points[0].latitude, points[0].latitude, points[0].longitude, points[0].longitude};
  for (const ControlPoint& p : points) {
    b.south = std::min(b.south, p.latitude);
    b.north = std::max(b.north, p.latitude);
    b.west = std::min(b.west, p.longitude);
    b.east = std::max(b.east, p.longitude);
  }
  return b;
}

constexpr int kExitNotUsable = 1;
constexpr int kExitCutShort = 3;

// What the reader says of an open CTG file beyond its header: its sizes on
// disk (what a file manager shows, and the Original File frame) and of the
// data the records are read from (decompressed, for a gzip file), and the
// records declared against the records held.
struct CtgFacts {
  int32_t recordCount = 0;  // declared by the header
  int64_t recordsHeld = 0;  // whole records in the data
  int64_t fileBytes = 0;
  int64_t dataBytes = 0;
  bool gzip = false;
  std::string dataEndProblem;  // why the data stops early (a damaged gzip stream)
  bool CutShort() const { return recordsHeld < recordCount; }
};

void WriteCtgText(const std::string& path, const CTGHeader& h, const CtgFacts& f, const std::vector<PlannedFile>& plan,
                  std::ostream& out) {
  // "  Name                value", the values in one column.
  auto line = [&](const std::string& name, const std::string& value) {
    std::string text = "  " + name;
    text.resize(std::max<std::size_t>(text.size() + 1, 22), ' ');
    out << RTrim(text + value) << "\n";
  };
  auto num = [](double v) { return NumberText(v); };
  out << path << ": USGS CTG land use and land cover" << (f.gzip ? ", gzip-compressed" : "") << ", "
      << f.recordCount << " data records (the file holds " << f.recordsHeld
      << (f.dataEndProblem.empty() ? "" : ": " + f.dataEndProblem) << ")\n";
  if (f.CutShort()) {
    out << "Cut short: the file holds " << f.recordsHeld << " of the " << f.recordCount
        << " data records its header declares; the rest read as read errors\n";
  }
  line("Title", h.Title);
  line("DataDate", h.DataDate);
  line("GridDimension1", num(h.GridDimension1) + " (rows)");
  line("GridDimension2", num(h.GridDimension2) + " (columns)");
  line("RecordCountTimes2", num(h.RecordCountTimes2));
  line("CellSize", num(h.CellSize) + " m");
  line("Rec1Value41", num(h.Rec1Value41) + " (theme overlays)");
  line("Rec1Value46", num(h.Rec1Value46) + " (map code)");
  line("Rec1Value51", num(h.Rec1Value51) + " (UTM zone)");
  line("Rec1Value56", num(h.Rec1Value56) + " (projection, 1 = UTM)");
  line("Rec1Real61", num(h.Rec1Real61));
  line("Rec1Text71", h.Rec1Text71);
  std::string rec2;
  for (int16_t v : h.Rec2Values) rec2 += (rec2.empty() ? "" : " ") + num(v);
  line("Rec2Values", rec2);
  line("RefCornerEasting", num(h.RefCornerEasting) + " (north-west grid corner)");
  line("RefCornerNorthing", num(h.RefCornerNorthing));
  line("Datum", kDatumNote);
  int n = 1;
  for (const ControlPoint& p : ControlPoints(h)) {
    const std::string name = "Point" + std::to_string(n++);
    line(name, num(p.latitude) + ", " + num(p.longitude) + " (" + p.role + ")");
  }
  const Bounds b = BoundsOf(h);
  out << "Quadrangle: (" << num(h.Point2Latitude) << ", " << num(h.Point2Longitude) << ") to ("
      << num(h.Point5Latitude) << ", " << num(h.Point5Longitude) << "); latitude " << num(b.south) << " to "
      << num(b.north) << ", longitude " << num(b.west) << " to " << num(b.east) << " (degrees, west negative)\n";

  const SourceDescription d = DescribeSource(path, static_cast<std::uintmax_t>(f.fileBytes), h);
  out << "Original File\n";
  line("Filename (Size):", d.Filename);
  line("Directory:", d.Directory);
  line("Title:", d.Title);
  line("Lat/Lon Block:", d.LatLonQuad);
  line("UTM Ref. Corner:", d.UTMRefCorner);
  line("Cell Size:", d.CellSize);
  out << "Planned tiles (" << plan.size() << ")\n";
  for (const PlannedFile& t : plan) {
    out << "  " << t.FileName << "  " << t.Size << " bytes  " << t.Title << "\n";
  }
}

void WriteCtgJson(const std::string& path, const CTGHeader& h, const CtgFacts& f, const std::vector<PlannedFile>& plan,
                  std::ostream& out) {
  JsonWriter w;
  w.BeginObject();
  w.Key("file").String(path);
  w.Key("format").String("CTG");
  w.Key("fileBytes").Int(f.fileBytes);
  w.Key("dataBytes").Int(f.dataBytes);
  w.Key("gzip").Bool(f.gzip);
  w.Key("dataEndProblem").String(f.dataEndProblem);
  w.Key("recordCount").Int(f.recordCount);
  w.Key("dataRecordsInFile").Int(f.recordsHeld);
  w.Key("cutShort").Bool(f.CutShort());
  w.Key("header").BeginObject();
  w.Key("GridDimension1").Int(h.GridDimension1);
  w.Key("RecordCountTimes2").Int(h.RecordCountTimes2);
  w.Key("GridDimension2").Int(h.GridDimension2);
  w.Key("CellSize").Int(h.CellSize);
  w.Key("Rec1Value41").Int(h.Rec1Value41);
  w.Key("Rec1Value46").Int(h.Rec1Value46);
  w.Key("Rec1Value51").Int(h.Rec1Value51);
  w.Key("Rec1Value56").Int(h.Rec1Value56);
  w.Key("Rec1Real61").Number(h.Rec1Real61);
  w.Key("Rec1Text71").String(h.Rec1Text71);
  w.Key("Rec2Values").BeginArray();
  for (int16_t v : h.Rec2Values) w.Int(v);
  w.EndArray();
  w.Key("Point1Latitude").Number(h.Point1Latitude);
  w.Key("Point1Longitude").Number(h.Point1Longitude);
  w.Key("Point2Latitude").Number(h.Point2Latitude);
  w.Key("Point2Longitude").Number(h.Point2Longitude);
  w.Key("Point3Latitude").Number(h.Point3Latitude);
  w.Key("Point3Longitude").Number(h.Point3Longitude);
  w.Key("Point4Latitude").Number(h.Point4Latitude);
  w.Key("Point4Longitude").Number(h.Point4Longitude);
  w.Key("Point5Latitude").Number(h.Point5Latitude);
  w.Key("Point5Longitude").Number(h.Point5Longitude);
  w.Key("Point6Latitude").Number(h.Point6Latitude);
  w.Key("Point6Longitude").Number(h.Point6Longitude);
  w.Key("RefCornerEasting").Int(h.RefCornerEasting);
  w.Key("RefCornerNorthing").Int(h.RefCornerNorthing);
  w.Key("DataDate").String(h.DataDate);
  w.Key("Title").String(h.Title);
  w.EndObject();
  w.Key("datum").String(kDatumName);
  w.Key("datumNote").String(kDatumNote);
  w.Key("corners").BeginArray();
  for (const ControlPoint& p : ControlPoints(h)) {
    w.BeginObject().Key("role").String(p.role);
    w.Key("latitude").Number(p.latitude).Key("longitude").Number(p.longitude).EndObject();
  }
  w.EndArray();
  const Bounds b = BoundsOf(h);
  w.Key("bounds").BeginObject();
  w.Key("south").Number(b.south).Key("north").Number(b.north);
  w.Key("west").Number(b.west).Key("east").Number(b.east);
  w.EndObject();
  const SourceDescription d = DescribeSource(path, static_cast<std::uintmax_t>(f.fileBytes), h);
  w.Key("originalFile").BeginObject();
  w.Key("filename").String(d.Filename).Key("directory").String(d.Directory).Key("title").String(d.Title);
  w.Key("latLonBlock").String(d.LatLonQuad).Key("utmRefCorner").String(d.UTMRefCorner);
  w.Key("cellSize").String(d.CellSize);
  w.EndObject();
  w.Key("plannedTiles").BeginArray();
  for (const PlannedFile& t : plan) {
    w.BeginObject().Key("fileName").String(t.FileName).Key("size").Int(t.Size).Key("title").String(t.Title);
    w.Key("refLat").Number(t.RefLat).Key("refLon").Number(t.RefLon).EndObject();
  }
  w.EndArray();
  w.EndObject();
  out << w.str() << "\n";
}

int DescribeCtgFile(const InfoOptions& options, Io& io) {
  CtgSource source(options.path);
  if (!source.Open(io)) return 1;
  const CTGHeader header = CTG_ReadHeader(source.handle());
  if (CTG_LastError() != kCTGNoError) return ReportReaderError(options.path, io);
  CtgFacts facts;
  facts.recordCount = CTG_RecordCount(source.handle());
  facts.recordsHeld = CTG_RecordsHeld(source.handle());
  std::error_code ec;
  const auto fileBytes = std::filesystem::file_size(options.path, ec);
  facts.fileBytes = ec ? 0 : static_cast<int64_t>(fileBytes);
  facts.dataBytes = CTG_DataLength(source.handle());
  facts.gzip = SniffSourceFileKind(options.path) == SourceFileKind::kGzip;
  facts.dataEndProblem = CTG_DataEndProblem(source.handle());
  const std::vector<PlannedFile> plan = PlanTiles(header, "");
  if (options.json) {
    WriteCtgJson(options.path, header, facts, plan, io.out);
  } else {
    WriteCtgText(options.path, header, facts, plan, io.out);
  }
  // The conversion refuses what gives no tile, and a file cut short converts
  // into tiles that lack its missing cells: a script must not take either for good.
  if (plan.empty()) {
    io.err << "luctool: " << options.path << ": no tile can be planned: the corners give latitudes "
           << NumberText(header.Point1Latitude) << " to " << NumberText(header.Point4Latitude) << " and longitudes "
           << NumberText(header.Point1Longitude) << " to " << NumberText(header.Point4Longitude) << "\n";
    return kExitNotUsable;
  }
  if (facts.CutShort()) {
    io.err << "luctool: " << options.path << ": cut short: the file holds " << facts.recordsHeld << " of the "
           << facts.recordCount << " data records its header declares\n";
    return kExitCutShort;
  }
  return 0;
}

int DescribeFile(const InfoOptions& options, Io& io) {
  if (LooksLikeLucFile(options.path)) return PrintLucInfo(options.path, options.json, io);
  return DescribeCtgFile(options, io);
}

// Every file is described, whatever became of the ones before it; text
// descriptions are parted by a blank line, JSON ones are one object a line.
int RunInfo(const InfoArgs& args, Io& io) {
  int status = 0;
  bool described = false;
  for (const std::string& path : args.paths) {
    std::ostringstream text;
    Io one{text, io.err};
    // A file that cannot be used outweighs one that is cut short.
    const int result = DescribeFile({path, args.json}, one);
    if (result == kExitCutShort && status == 0) status = kExitCutShort;
    if (result != 0 && result != kExitCutShort) status = kExitNotUsable;
    if (text.str().empty()) continue;
    if (described && !args.json) io.out << "\n";
    io.out << text.str();
    described = true;
  }
  return status;
}

}  // namespace

void AddInfoCommand(CLI::App& app, Io& io) {
  auto options = std::make_shared<InfoArgs>();
  CLI::App* cmd = app.add_subcommand(
      "info", "Describe files: a CTG quadrangle's decoded header (every field), record count and corners, or a "
      "LUC tile's header, extent and counts per code");
  cmd->add_option("FILE", options->paths, "CTG files or LUC tiles")->required();
  cmd->add_flag("--json", options->json, "one JSON object per file, one a line, instead of text");
  cmd->footer(
      "Angles are decimal degrees, west and south negative; eastings and northings UTM metres on WGS 84.\n"
      "Examples:\n"
      "  luctool info tiles/*.LUC\n"
      "  luctool info --json LEWISTON_grid_cell\n"
      "Exit status: 0 every file described, 1 a file cannot be read or gives no tile (the reason is printed;\n"
      "the others are still described), 2 bad usage, 3 a CTG file holds fewer data records than its header\n"
      "declares (cut short) and none is worse.");
  cmd->callback([options, &io] { io.status = RunInfo(*options, io); });
}

}  // namespace tilbo::luctool
