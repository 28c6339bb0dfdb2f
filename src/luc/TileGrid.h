#pragma once
// The grid of a new LUC tile: where it lies on the UTM grid and which of its
// points fall inside the tile's one-degree cell.
//
// A tile covers the one-degree cell whose south-east corner is (seLatitude,
// seLongitude): latitudes seLatitude <= lat < seLatitude + 1 and longitudes
// seLongitude - 1 < lon <= seLongitude. Its grid is the UTM box around the
// cell in the zone of the south-east corner, snapped to the resolutions. Row 0
// is the northern row and column 0 the western column; the cell at (r, c)
// stands for the point (minEasting + c * xResolution, maxNorthing -
// r * yResolution) in metres.

#include <cstdint>
#include <optional>
#include <span>

namespace tilbo {

// Whether a geographic position lies in the one-degree cell with the given
// south-east corner (south and east edges included, north and west excluded).
inline bool InOneDegreeCell(double latitude, double longitude, double seLatitude,
                            double seLongitude) {
  return seLatitude <= latitude && latitude < seLatitude + 1 && seLongitude - 1 < longitude &&
         longitude <= seLongitude;
}

struct TileGridLayout {
  int16_t gridZone = 0;      // zone of the south-east corner: the grid's own zone
  int16_t recordedZone = 0;  // zone of the cell's centre, written as UTMZone
  int32_t minEasting = 0;    // metres, column 0
  int32_t maxEasting = 0;    // metres, last column
  int32_t minNorthing = 0;   // metres, last row
  int32_t maxNorthing = 0;   // metres, row 0
  int32_t dataRows = 0;
  int32_t dataColumns = 0;
  int32_t recordLength = 0;  // bytes per record: two per column
  int16_t xResolution = 0;   // metres between columns
  int16_t yResolution = 0;   // metres between rows
  // The corners of the cell do not bound the box as expected (the northern
  // corner on the side away from the central meridian lies higher).
  bool skewed = false;
};

// The layout of the tile's grid, or nothing when no valid grid results: a
// corner that does not convert, a resolution of 0 or below, values beyond 32
// bits, fewer than 78 columns (records would be shorter than the header) or a
// data block beyond 32 bits.
std::optional<TileGridLayout> PlanTileGrid(double seLatitude, double seLongitude,
                                           int16_t xResolution, int16_t yResolution);

enum class GridFill {
  // Converts every grid point back to geographic coordinates.
  kPerPoint,
  // Converts only the points needed to find, per row, where the cell begins
  // and ends; gives exactly the cells of kPerPoint.
  kRuns,
};

// Fills the grid (dataRows * dataColumns cells, row after row) with fillValue
// for the points inside the cell and the padding value for the others. Rows
// are shared among at most maxThreads threads.
void FillTileGrid(const TileGridLayout& layout, double seLatitude, double seLongitude,
                  int16_t fillValue, std::span<int16_t> grid, GridFill method = GridFill::kRuns,
                  int maxThreads = 2);

}  // namespace tilbo
