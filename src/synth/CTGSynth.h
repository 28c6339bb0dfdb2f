#pragma once
// Synthetic CTG quadrangles for tests, demos and benchmarks, laid out as the
// real USGS files are:
// - the grid is on the UTM zone of the quadrangle's centre (its points are
//   given in that zone even where the quadrangle crosses a zone edge);
//   northings are signed distances from the equator, negative in the south;
// - cell centres lie on multiples of the cell size; the grid's outer
//   north-west corner (record 4 cols 41-60) is half a cell west and north of
//   the first cell's centre;
// - data records run row by row from the north, each row from the west, one
//   per cell of the full rectangle; cells outside the quadrangle have code 0;
// - record 1: rows, twice the record count, columns, 0, cell size, theme
//   overlays 4, map code 17, UTM zone, projection 1 (UTM); record 2: 1, 1,
//   columns, rows and the (column, row) grid positions of the six control
//   points; records 3-4: the control points clockwise from the south-west
//   corner (SW, NW, N middle, NE, SE, S middle) as DDDMMSS; record 5: title.
//   Records 1-4 hold only digits, blanks and "-".

#include <cstdint>
#include <optional>
#include <string>

namespace tilbo {

enum class SynthPattern {
  kPatches,  // land-use codes in patches, as a land-use map looks
  kHash,     // SynthHashCode of each cell's easting and northing
};

struct SynthOptions {
  double south = 0;   // south-west corner, decimal degrees (south and west negative)
  double west = 0;
  double height = 1;  // extent in degrees (1 x 2 for a 1:250,000 quadrangle)
  double width = 2;
  int32_t cellSize = 200;  // metres, even (the grid corner lies half a cell off the centres)
  std::string title;       // record 5, at most 64 characters
  std::string dataDate;    // record 4 cols 61-70: digits, blanks and "-" only
  uint64_t seed = 1;
  SynthPattern pattern = SynthPattern::kPatches;
  int64_t badRecords = 0;  // data records made unreadable (chosen by the seed)
};

// The grid over a quadrangle: row 0 north, column 0 west, metres in `zone`.
struct SynthGrid {
  int16_t zone = 0;
  int32_t rows = 0;
  int32_t columns = 0;
  int32_t cellSize = 0;
  int32_t refCornerEasting = 0;   // outer north-west corner
  int32_t refCornerNorthing = 0;
  int32_t CentreEasting(int32_t column) const { return refCornerEasting + cellSize / 2 + column * cellSize; }
  int32_t CentreNorthing(int32_t row) const { return refCornerNorthing - cellSize / 2 - row * cellSize; }
  int64_t Records() const { return static_cast<int64_t>(rows) * columns; }
};

struct SynthPlan {
  std::optional<SynthGrid> grid;  // set when the options can make a CTG file
  std::string error;              // otherwise why not
};

// Checks the options and lays out the grid.
SynthPlan PlanSynthGrid(const SynthOptions& options);

// The land-use code of the hash pattern for a cell centre: one of the
// second-level codes (11..92), from a fixed integer mix of the two values, so
// that tests can predict every cell.
int16_t SynthHashCode(int32_t easting, int32_t northing);

// The five header records (400 bytes) for the options and their grid.
std::string SynthHeaderRecords(const SynthOptions& options, const SynthGrid& grid);

struct SynthWriteResult {
  bool ok = false;
  std::string error;  // when not ok
  SynthGrid grid;     // when ok
};

// Writes the file whole or not at all: a temporary file in the target's
// directory, renamed over the target when complete.
SynthWriteResult WriteSynthCTG(const SynthOptions& options, const std::string& path);

}  // namespace tilbo
