#pragma once
// The tile search of the record copy: which open tile of the run takes a
// source record. A record belongs to the first tile whose one-degree cell
// holds its point, by the rule of LUCFileV1::InFile; the search answers from
// the tiles' grid marks where it can and converts the point otherwise. Pure
// computations, run on several threads over a chunk of records
// (DecodeAndFindTiles).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ctg/CTGDecode.h"
#include "luc/LUCFileV1.h"

namespace tilbo {

inline constexpr int kNoTile = -1;

// An open tile as the tile search sees it: the zone its header records (the
// zone in which a point's easting and northing are read for it) and the file,
// whose InCell answers as InFile does for an already converted position.
//
// Creating the tile has already converted every point of its grid and marked
// those outside the cell with the padding value, by the very test InFile
// makes (the same conversion of the same whole-metre easting and northing in
// the same zone). A record that lies on a grid point, as the records of a
// source whose cell size is the tile's resolution do, is answered from that
// mark, taken before any record is written; only other points are converted.
struct TileCell {
  int16_t zone = 0;
  const LUCFileV1* file = nullptr;
  double seLatitude = 0, seLongitude = 0;
  int64_t minEasting = 0, maxNorthing = 0, xResolution = 0, yResolution = 0, rows = 0, columns = 0;
  std::vector<uint8_t> inCell;  // per grid point, row after row: 1 in the tile's cell

  explicit TileCell(LUCFileV1& tile);

  // 1 or 0 when the point is a grid point, -1 when it has to be converted.
  int KnownInCell(int32_t easting, int32_t northing) const {
    if (columns == 0) return -1;
    const int64_t dx = int64_t{easting} - minEasting;
    const int64_t dy = maxNorthing - northing;
    if (dx < 0 || dy < 0 || dx % xResolution != 0 || dy % yResolution != 0) return -1;
    const int64_t column = dx / xResolution, row = dy / yResolution;
    if (column >= columns || row >= rows) return -1;
    return inCell[static_cast<std::size_t>(row * columns + column)];
  }
};

struct DecodedRecord {
  CTGCell cell;
  bool readError = false;
  int tile = kNoTile;  // index into the open tiles
};

// Decodes the records of a chunk and finds the tile of each, in parallel
// parts on up to `threads` threads (this one included): both are pure
// computations per record. Records from `available` on lie beyond the end of
// the data and read as errors.
void DecodeAndFindTiles(const std::vector<char>& raw, std::size_t available, std::vector<DecodedRecord>& records,
                        std::size_t count, const std::vector<TileCell>& tiles, std::size_t threads);

}  // namespace tilbo
