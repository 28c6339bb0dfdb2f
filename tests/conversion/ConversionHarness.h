#pragma once
// Driving whole conversions through the main window and the conversion window
// with no window layer: a host whose "modal" conversion window runs a script
// of button presses, a scripted prompter, and an event pump whose hook can
// press buttons while the run goes on. Plus what the tests need to predict a
// run on their own: the source records read straight from the file, UTM
// positions through GeographicLib, and the points of the excluded-points log
// checked against those records.

#include <gtest/gtest.h>

#include <GeographicLib/TransverseMercator.hpp>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/frmConversion.h"
#include "ctg/CTGFile.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "shell/frmMain.h"
#include "suite/NumberFormat.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"
#include "support/TempDir.h"
#include "support/TestHost.h"
#include "synth/CTGSynth.h"

namespace tilbo::testing {

inline constexpr int kHeaderRecords = 5;
inline constexpr std::size_t kCardLength = 80;

// What the conversion window held when the script had run.
struct ConversionView {
  std::vector<FileListRow> rowsAtSetUp;  // conflict statuses and ticks as the window opened
  std::vector<FileListRow> rowsAtEnd;
  std::vector<std::string> conflictPaths;
  int32_t excluded = 0, writtenElsewhere = 0;
  std::vector<std::string> existingFilesUsed, externalFilesCreated;
  int32_t progressValue = 0;
};

// What the conversion window held when `script` (by default Begin, then Close
// Window) had run in it.
inline ConversionView RunAndRecord(frmConversion& c, const std::function<void(frmConversion&)>& script) {
  ConversionView view;
  view.rowsAtSetUp = c.lstFiles;
  view.conflictPaths = c.ConflictPaths;
  script(c);
  view.rowsAtEnd = c.lstFiles;
  view.excluded = c.ExcludedCount;
  view.writtenElsewhere = c.WrittenElsewhereCount;
  view.existingFilesUsed = c.ExistingFilesUsed;
  view.externalFilesCreated = c.ExternalFilesCreated;
  view.progressValue = c.pbValue;
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

// Overwrites 1-based columns [column, column + width) of data record `number`
// with `value`, right-aligned.
inline void SetSourceField(std::string& bytes, int64_t number, std::size_t column, std::size_t width, long value) {
  const std::string text = std::to_string(value);
  const std::size_t at = (kHeaderRecords + static_cast<std::size_t>(number) - 1) * kCardLength + column - 1;
  bytes.replace(at, width, std::string(width - text.size(), ' ') + text);
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

// --- The excluded-points log, split at its columns -------------------------------

// Checks each point line below a column heading of the log against its source
// record: easting, northing and value, the position in degrees from the
// record's own zone (blank without a zone), or after a read error the raw
// record on the next line. Returns the logged record numbers.
inline std::vector<int32_t> CheckLoggedPoints(const std::string& log, const std::vector<SourceRecord>& records) {
  // 1-based columns [from, to] of a line without blanks and the "," of grouped digits; a blank number is 0.
  const auto field = [](const std::string& line, std::size_t from, std::size_t to) {
    std::string text = line.substr(std::min(from - 1, line.size()), to - from + 1);
    std::erase_if(text, [](char c) { return c == ' ' || c == ','; });
    return text;
  };
  const auto number = [&](const std::string& line, std::size_t from, std::size_t to) {
    const std::string digits = field(line, from, to);
    return digits.empty() ? 0L : std::stol(digits);
  };
  std::vector<int32_t> numbers;
  std::istringstream points(log.substr(log.find("\n   ---------") + 1));  // the lines after the column heading
  std::string line;
  std::getline(points, line);
  while (std::getline(points, line)) {
    line.pop_back();  // the "\r" of "\r\n"
    SCOPED_TRACE(line);
    const SourceRecord& r = records.at(static_cast<std::size_t>(number(line, 3, 11)) - 1);
    numbers.push_back(r.number);
    EXPECT_EQ(field(line, 87, line.size()), r.readable ? "" : "YES");
    if (!r.readable) {
      std::getline(points, line);
      EXPECT_EQ(line, "--> \"" + r.card + "\"\r");
      continue;
    }
    EXPECT_EQ(std::vector<long>({number(line, 14, 26), number(line, 27, 39), number(line, 76, 86)}),
              std::vector<long>({r.easting, r.northing, r.code}));
    const std::string latitude = field(line, 40, 57), longitude = field(line, 58, 75);
    if (r.zone == 0) {
      EXPECT_EQ(latitude + longitude, "");
    } else {
      // Nine decimals: within half a unit of the last one.
      const LatLon want = Geographic(r.zone, r.easting, r.northing);
      EXPECT_NEAR(std::stod(latitude), want.latitude, 6e-10);
      EXPECT_NEAR(std::stod(longitude), want.longitude, 6e-10);
    }
  }
  return numbers;
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
    std::string text = "[System Units]\r\nCoord Fmt=DDD.dddd\r\n";
    if (lucDirectory) text += "[LULC Directories]\r\nDirectory 1=" + luc.dir() + "\r\n";
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
  frmMain& Open(const std::string& source, const RunOptions& options) {
    main = std::make_unique<frmMain>(prompter, pump, host, CommandLine({"/INI=" + ini()}));
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
