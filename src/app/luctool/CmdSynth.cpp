// luctool synth: writes a realistic synthetic CTG file for a quadrangle.

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "synth/CTGSynth.h"
#include "luctool/Luctool.h"

namespace tilbo::luctool {
namespace {

struct SynthCommandOptions {
  SynthOptions synth;
  bool titleGiven = false;
  std::string output;
};

// Degrees as plain decimal text whatever the locale ("44", "71.5").
std::string DegreesText(double value) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  return ec == std::errc{} ? std::string(text, end) : std::string("?");
}

// "SYNTHETIC QUADRANGLE 44N 72W" from the south-west corner.
std::string DefaultTitle(const SynthOptions& o) {
  return "SYNTHETIC QUADRANGLE " + DegreesText(std::fabs(o.south)) + (o.south < 0 ? "S " : "N ") +
         DegreesText(std::fabs(o.west)) + (o.west < 0 ? "W" : "E");
}

int RunSynth(SynthCommandOptions& options, Io& io) {
  SynthOptions& o = options.synth;
  if (!options.titleGiven) o.title = DefaultTitle(o);
  const SynthPlan plan = PlanSynthGrid(o);
  if (!plan.grid) {
    io.err << "luctool synth: " << plan.error << "\n";
    return 2;
  }
  const SynthWriteResult written = WriteSynthCTG(o, options.output);
  if (!written.ok) {
    io.err << "luctool synth: " << written.error << "\n";
    return 1;
  }
  const SynthGrid& g = written.grid;
  io.out << options.output << ": " << g.rows << " rows x " << g.columns << " columns of " << g.cellSize
         << " m in UTM zone " << g.zone << ", " << g.Records() << " records, north-west corner "
         << g.refCornerEasting << " E " << g.refCornerNorthing << " N\n";
  return 0;
}

}  // namespace

void AddSynthCommand(CLI::App& app, Io& io) {
  auto options = std::make_shared<SynthCommandOptions>();
  SynthOptions& o = options->synth;
  CLI::App* cmd = app.add_subcommand("synth", "Write a realistic synthetic CTG land-use file for a quadrangle");
  cmd->add_option("--south", o.south, "latitude of the south-west corner, degrees (south negative)")->required();
  cmd->add_option("--west", o.west, "longitude of the south-west corner, degrees (west negative)")->required();
  cmd->add_option("--height", o.height, "extent in latitude, degrees")->capture_default_str();
  cmd->add_option("--width", o.width, "extent in longitude, degrees")->capture_default_str();
  cmd->add_option("--cell", o.cellSize, "cell size in metres (even)")->capture_default_str();
  cmd->add_option("--title", o.title, "map title, at most 64 characters (default: from the corner)")
      ->each([options](const std::string&) { options->titleGiven = true; });
  cmd->add_option("--date", o.dataDate, "data date: up to 10 digits, blanks or \"-\" (for example 84180)");
  cmd->add_option("--seed", o.seed, "seed of the land-use patches and of the bad records")->capture_default_str();
  const std::map<std::string, SynthPattern> patterns{{"patches", SynthPattern::kPatches},
                                                     {"hash", SynthPattern::kHash}};
  cmd->add_option("--pattern", o.pattern,
                  "patches: land-use patches as a map looks; hash: each code from the cell's easting and "
                  "northing (SynthHashCode), so tests can predict every cell")
      ->transform(CLI::CheckedTransformer(patterns, CLI::ignore_case));
  cmd->add_option("--bad-records", o.badRecords, "number of data records made unreadable")
      ->check(CLI::NonNegativeNumber);
  cmd->add_option("-o,--output", options->output, "the CTG file to write (replaced whole if it exists)")
      ->required();
  cmd->footer(
      "The grid lies in the UTM zone of the quadrangle's centre, cells outside the quadrangle have code 0,\n"
      "records run row by row from the north. Example (the size of a 1:250,000 quadrangle):\n"
      "  luctool synth --south 44 --west -72 --title \"TEST 1:250,000 QUAD LU\" --date 84180 -o quad.ctg\n"
      "Exit status: 0 written, 1 the file could not be written, 2 bad usage.");
  cmd->callback([options, &io] { io.status = RunSynth(*options, io); });
}

}  // namespace tilbo::luctool
