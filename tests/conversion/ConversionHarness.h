#pragma once
// Driving whole conversions through the main window and the conversion window
// with no window layer: a host whose "modal" conversion window runs a script
// of button presses, a scripted prompter, and an event pump whose hook can
// press buttons while the run goes on. Plus what the tests need to predict a
// run on their own: the source records read straight from the file, UTM
// positions through GeographicLib, and the fixed columns of the
// excluded-points log.

#include <GeographicLib/TransverseMercator.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/frmConversion.h"
#include "ctg/CTGFile.h"
#include "synth/CTGSynth.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "shell/frmMain.h"
#include "suite/NumberFormat.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"
#include "support/TempDir.h"
#include "support/TestHost.h"

namespace tilbo::testing {

inline constexpr const char* kCRLF = "\r\n";
inline constexpr int kHeaderRecords = 5;
inline constexpr std::size_t kCardLength = 80;

// What the conversion window held when the script had run.
struct ConversionView {
  std::vector<FileListRow> rowsAtSetUp;  // conflict statuses and ticks as the window opened
  std::vector<FileListRow> rowsAtEnd;
  std::vector<std::string> conflictPaths;
  bool started = false, finished = false, closed = false, success = false;
  int32_t excluded = 0, readErrors = 0, zeroValues = 0, writtenElsewhere = 0;
  std::vector<std::string> existingFilesUsed, externalFilesCreated;
  int32_t progressMax = 0, progressValue = 0;
  std::string caption;
};

// What the conversion window held when `script` (by default Begin, then Close
// Window) had run in it.
inline ConversionView RunAndRecord(frmConversion& c, const std::function<void(frmConversion&)>& script) {
  ConversionView view;
  view.rowsAtSetUp = c.lstFiles;
  view.conflictPaths = c.ConflictPaths;
  script(c);
  view.rowsAtEnd = c.lstFiles;
  view.started = c.Started;
  view.finished = c.Finished;
  view.closed = c.closed;
  view.success = c.Success;
  view.excluded = c.ExcludedCount;
  view.readErrors = c.ReadErrorCount;
  view.zeroValues = c.ZeroValueCount;
  view.writtenElsewhere = c.WrittenElsewhereCount;
  view.existingFilesUsed = c.ExistingFilesUsed;
  view.externalFilesCreated = c.ExternalFilesCreated;
  view.progressMax = c.pbMax;
  view.progressValue = c.pbValue;
  view.caption = c.cmdCommandCaption;
  return view;
}

// The options of the main window's "Options and Controls" frame.
struct RunOptions {
  bool overwrite = false;
  bool useExisting = false;
  bool createNew = false;
  bool logExcluded = false;
};

// --- The source as the tests read it, without the reader -----------------------

struct SourceRecord {
  int32_t number = 0;  // 1-based cell number
  int zone = 0;
  long easting = 0, northing = 0;
  long code = 0;
  bool readable = true;  // false: the code does not fit 16 bits (or is the marker limit)
  std::string card;      // the raw 80 characters
};

inline long FieldValue(const std::string& card, std::size_t column, std::size_t width) {
  return std::stol(card.substr(column - 1, width));
}

// Every data record of a CTG file, decoded from its columns.
inline std::vector<SourceRecord> ReadSourceRecords(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  const std::size_t count = FieldValue(bytes, 11, 10) / 2;
  std::vector<SourceRecord> records;
  for (std::size_t k = 0; k < count; ++k) {
    SourceRecord r;
    r.number = static_cast<int32_t>(k + 1);
    r.card = bytes.substr((kHeaderRecords + k) * kCardLength, kCardLength);
    r.zone = static_cast<int>(FieldValue(r.card, 1, 3));
    r.easting = FieldValue(r.card, 4, 8);
    r.northing = FieldValue(r.card, 12, 8);
    const long long code = std::stoll(r.card.substr(20, 10));
    r.readable = code >= -32768 && code <= 32767;
    r.code = r.readable ? static_cast<long>(code) : 0;
    records.push_back(r);
  }
  return records;
}

// Overwrites the land-use field (columns 21-30) of data record `number`.
inline void SetSourceCode(std::string& bytes, int64_t number, const std::string& code) {
  const std::size_t at = (kHeaderRecords + static_cast<std::size_t>(number) - 1) * kCardLength + 20;
  bytes.replace(at, 10, std::string(10 - code.size(), ' ') + code);
}

// --- Positions, through GeographicLib directly -----------------------------------

struct LatLon {
  double latitude = 0, longitude = 0;
};

inline double CentralMeridian(int zone) { return 6.0 * zone - 183.0; }

inline LatLon Geographic(int zone, double easting, double northing) {
  LatLon p;
  GeographicLib::TransverseMercator::UTM().Reverse(CentralMeridian(zone), easting - 500000.0, northing, p.latitude,
                                                   p.longitude);
  return p;
}

// The one-degree cell with south-east corner (seLatitude, seLongitude):
// south and east edges inside, north and west edges outside.
inline bool InOneDegreeCell(const LatLon& p, double seLatitude, double seLongitude) {
  return p.latitude >= seLatitude && p.latitude < seLatitude + 1 && p.longitude > seLongitude - 1 &&
         p.longitude <= seLongitude;
}

// The zone of a tile's grid: that of its south-east corner, a corner on a zone
// boundary belonging to the zone west of it.
inline int ZoneOfEastEdge(double longitude) { return static_cast<int>(std::ceil((longitude + 180.0) / 6.0)); }

// --- Texts ------------------------------------------------------------------------

// a / b x 100 with three (or `decimals`) decimals, "." as the mark.
inline std::string Percent(double a, double b, int decimals = 3) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, b == 0 ? 0.0 : a / b * 100.0);
  return text;
}

// Digits grouped by "," in threes; empty for 0.
inline std::string Grouped(long value) {
  if (value == 0) return "";
  const std::string digits = std::to_string(std::labs(value));
  std::string out;
  for (std::size_t k = 0; k < digits.size(); ++k) {
    if (k != 0 && (digits.size() - k) % 3 == 0) out += ',';
    out += digits[k];
  }
  return (value < 0 ? "-" : "") + out;
}

// Pads `line` with blanks so that the next text starts at 1-based `column`.
inline void PlaceAt(std::string& line, std::size_t column, const std::string& text) {
  if (line.size() < column - 1) line.append(column - 1 - line.size(), ' ');
  line += text;
}

// Signed decimal degrees with nine decimals (coordinate format "DDD.dddd").
inline std::string DecimalDegrees(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.9f", value);
  return text;
}

inline std::string ExcludedLogColumnHeading() {
  std::string titles;
  PlaceAt(titles, 5, "Record #");
  PlaceAt(titles, 14, "UTM Easting");
  PlaceAt(titles, 27, "UTM Northing");
  PlaceAt(titles, 40, "Latitude");
  PlaceAt(titles, 58, "Longitude");
  PlaceAt(titles, 76, "LULC Value");
  PlaceAt(titles, 87, "Read Error");
  return std::string(kCRLF) + titles + kCRLF + "   --------- ------------ ------------ -----------------" +
         " ----------------- ---------- ----------" + kCRLF;
}

// One excluded point's line (and the raw card after a read error), with the
// position in decimal degrees from the record's own zone.
inline std::string ExcludedLogLine(const SourceRecord& r) {
  std::string number = Grouped(r.number);
  number.insert(0, 9 - number.size(), ' ');
  std::string line;
  PlaceAt(line, 3, number);
  if (!r.readable) {
    // Nothing of the record was read: no position and no value.
    PlaceAt(line, 87, "YES");
    return line + kCRLF + "--> \"" + r.card + "\"" + kCRLF;
  }
  const LatLon p = Geographic(r.zone, r.easting, r.northing);
  PlaceAt(line, 14, Grouped(r.easting));
  PlaceAt(line, 27, Grouped(r.northing));
  PlaceAt(line, 40, DecimalDegrees(p.latitude));
  PlaceAt(line, 58, DecimalDegrees(p.longitude));
  PlaceAt(line, 76, Grouped(r.code));
  return line + kCRLF;
}

inline std::vector<std::string> FileNamesIn(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A test that runs conversions: its own program, Windows and suite
// directories, a user-defaults INI named on the command line (coordinates as
// decimal degrees, optionally one LUC directory), "." and "," as separators.
class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OverrideSeparatorsForTesting(&separators_);
    CTG_ResetModuleForTesting();
    LRR_ResetModuleForTesting();
    WriteIni(false);
    script = host.onConversion;
    host.onConversion = [this](frmConversion& c) { view = RunAndRecord(c, script); };
  }
  void TearDown() override {
    main.reset();
    CTG_ResetModuleForTesting();
    LRR_ResetModuleForTesting();
    OverrideSeparatorsForTesting(nullptr);
  }

  // The user-defaults INI; with `lucDirectory` the list holds `luc`.
  void WriteIni(bool lucDirectory) {
    std::string text = std::string("[System Units]") + kCRLF + "Coord Fmt=DDD.dddd" + kCRLF;
    if (lucDirectory) text += std::string("[LULC Directories]") + kCRLF + "Directory 1=" + luc.dir() + kCRLF;
    WriteWholeFile(ini(), text);
  }
  std::string ini() const { return env.windows.file("QMDEFAULTS.INI"); }

  // A synthetic quadrangle in `data`.
  std::string MakeSource(const SynthOptions& options, const std::string& name = "quad.ctg") {
    const std::string path = data.file(name);
    const SynthWriteResult written = WriteSynthCTG(options, path);
    EXPECT_TRUE(written.ok) << written.error;
    grid = written.grid;
    return path;
  }

  // The main window loaded, with the options set, the target directory typed
  // into the directory box and `source` chosen with Browse.
  frmMain& Open(const std::string& source, const RunOptions& options, std::vector<std::string> extraArguments = {}) {
    std::vector<std::string> arguments{"/INI=" + ini()};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    main = std::make_unique<frmMain>(prompter, pump, host, CommandLine(arguments));
    main->Load();
    main->chkOverwrite.ticked = options.overwrite;
    main->chkUseExisting_Click(options.useExisting);
    main->chkCreateNew.ticked = options.createNew;
    main->chkLogExcluded.ticked = options.logExcluded;
    main->cboDirectories_Change(target.dir());
    host.source = source;
    main->cmdBrowse_Click();
    EXPECT_EQ(main->CurrentFile, 1) << "the source could not be read";
    return *main;
  }

  // Messages and questions shown, without the title.
  std::vector<std::string> ShownTexts() const {
    std::vector<std::string> texts;
    for (const Shown& s : prompter.shown) texts.push_back(s.text);
    return texts;
  }

  // Temporary tiles and run folders left in the program's directory.
  std::vector<std::string> TemporaryTilesLeft() const {
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(env.home.path())) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(" NEW") || name.starts_with("run-")) left.push_back(name);
    }
    return left;
  }

  SuiteEnvironment env;
  TempDir data, target, luc;
  ScriptedPrompter prompter;
  CountingEventPump pump;
  TestHost host;
  std::function<void(frmConversion&)> script;  // run in each conversion window shown
  ConversionView view;                         // what the last one held
  std::unique_ptr<frmMain> main;
  SynthGrid grid;

 private:
  NumberSeparators separators_{".", ","};
};

}  // namespace tilbo::testing
