#pragma once
// LUCFileV1: one LUC tile file - creating it, opening it for cell-by-cell
// access in the file (direct I/O mode) or with the whole grid in memory
// (memory I/O mode), its header fields and cells, and the mapping from
// geographic or UTM positions to its cells.
//
// The byte layout is in luc/LucFileLayout.h. Row 0 is the northern row and
// column 0 the western column; the cell at (row, column) stands for the UTM
// point (MinEasting + column * XResolution, MaxNorthing - row * YResolution)
// in zone UTMZone, metres. Latitudes and longitudes are decimal degrees,
// north and east positive.
//
// No file operation throws: each leaves its outcome in LastError (codes
// below, texts from ErrorDescription). Only the conversion operations
// (ConLatLonUTM, ConLatLonFile, ConLatLonFileUseStep, ConUTMFile, InFile)
// throw LucArithmeticError when their arithmetic has no valid result;
// LULCValue turns that into kUnknownError.
//
// The class is defined over two files: LUCFileV1.cpp (opening, closing,
// creating, the header fields and the cells) and LUCCoordinates.cpp (the
// coordinate model: SetCoordinateMode, the Con... conversions, InFile and
// InCell).

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "luc/BinaryFile.h"
#include "luc/LucFileLayout.h"

namespace tilbo {

// A conversion without a valid result: a resolution of 0 (division by zero),
// a value beyond the 32-bit range, a position that is not a number.
class LucArithmeticError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class LUCFileV1 {
 public:
  // LastError codes.
  static constexpr int32_t kNoError = 0;
  static constexpr int32_t kFileNotOpen = 1;
  static constexpr int32_t kNotInMemoryMode = 2;  // never set
  static constexpr int32_t kBadOpenMode = 3;
  static constexpr int32_t kFileNameNotSet = 4;
  static constexpr int32_t kFileNotFound = 5;
  static constexpr int32_t kInvalidFile = 6;
  static constexpr int32_t kNoDataBlock = 7;  // never set
  static constexpr int32_t kStringTooLong = 8;
  static constexpr int32_t kBadCoordinateMode = 9;
  static constexpr int32_t kNoBufferedData = 10;
  static constexpr int32_t kUnknownError = 11;

  // OpenMode values.
  static constexpr int32_t kClosed = 0;
  static constexpr int32_t kDirectIo = 1;  // the file stays open; every access goes to it
  static constexpr int32_t kMemoryIo = 2;  // header and grid held here; no file open

  // CoordinateMode values: what the X and Y of LULCValue and InFile mean.
  static constexpr int32_t kGridCoordinates = 0;        // X column, Y row
  static constexpr int32_t kUtmCoordinates = 1;         // X easting, Y northing (metres)
  static constexpr int32_t kGeographicCoordinates = 2;  // X longitude, Y latitude (degrees)

  // CreateFile results.
  static constexpr int32_t kCreated = 0;
  static constexpr int32_t kCreatedSkewed = 1;  // complete, but the cell's corners were skewed
  static constexpr int32_t kNotCreated = 2;

  // Text fields hold exactly this many bytes.
  static constexpr std::size_t kTextLength = lucfile::kTextFieldSize;

  LUCFileV1() = default;
  ~LUCFileV1();  // closes: a grid held in memory is dropped unwritten
  LUCFileV1(const LUCFileV1&) = delete;
  LUCFileV1& operator=(const LUCFileV1&) = delete;
  // The moved-from object is left closed, as a new one.
  LUCFileV1(LUCFileV1&& other) noexcept;
  LUCFileV1& operator=(LUCFileV1&& other) noexcept;

  // --- Simple members --------------------------------------------------------
  // The path as given (letter case kept). Neither touches LastError.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string newName) { fileName_ = std::move(newName); }

  // When on, opening also checks the bare file name against the tile name
  // rule and the south-east corner fields. Off for a new object.
  bool ValidateFileName() const { return validateFileName_; }
  void SetValidateFileName(bool newState) { validateFileName_ = newState; }

  int32_t OpenMode() const { return openMode_; }
  // 0 closes (a memory grid is dropped unwritten); 1 or 2 opens FileName.
  void SetOpenMode(int32_t newMode);

  int32_t LastError() const { return lastError_; }
  void ResetError() { lastError_ = kNoError; }
  // The text of a code; does not change LastError.
  static std::string ErrorDescription(int32_t errorCode);

  // --- Header properties -----------------------------------------------------
  // Direct I/O mode reads the file, memory I/O mode the copies. Closed: error
  // 1 and 0 / empty text. A successful read sets LastError 0 (DataSource
  // leaves it unchanged); a failed file read sets error 6.
  int32_t DataBlockSize();  // DataRows * RecordLength
  int32_t RecordLength();
  std::string DataSource();  // 40 bytes as stored
  std::string Title();       // 40 bytes as stored
  int16_t XResolution();
  int16_t YResolution();
  int16_t UTMZone();
  int32_t DataRows();
  int32_t DataColumns();
  double NWCornerLatitude();
  double NWCornerLongitude();
  int32_t MinEasting();
  int32_t MaxNorthing();
  double SECornerLatitude();
  double SECornerLongitude();
  int32_t MaxEasting();
  int32_t MinNorthing();
  // At most 40 bytes, padded with spaces; longer: error 8, nothing changes.
  // Direct I/O mode writes at once; memory I/O mode with the next WriteData.
  void SetDataSource(std::string_view newSource);
  void SetTitle(std::string_view newTitle);

  // No buffered block is ever defined: error 10 and 0.
  int32_t BlockDataRows();
  int32_t BlockDataColumns();

  // --- Cells -----------------------------------------------------------------
  // X and Y as CoordinateMode says. A position whose cell lies outside the
  // grid is error 11 with nothing read or written.
  int16_t LULCValue(double x, double y);
  void SetLULCValue(double x, double y, int16_t newValue);

  // --- Memory I/O mode -------------------------------------------------------
  // Reloads the header copies and the grid from FileName (error 3 outside
  // memory I/O mode, 6 when the file cannot be read or does not hold the grid
  // its header claims).
  void ReadData();
  // Writes the header copies (all but the signature) and the grid into
  // FileName in place (error 3 outside memory I/O mode, 6 on failure).
  void WriteData();

  // --- Creation --------------------------------------------------------------
  // Makes the tile file for the one-degree cell with south-east corner
  // (seLatitude, seLongitude). An empty fileName becomes the tile name (in the
  // current directory) and is handed back. Returns kCreated, kCreatedSkewed or
  // kNotCreated (error 3 when open, 11 on any failure, including a grid of
  // fewer than 78 columns). The file is written whole or not at all, replacing
  // any file of that name. A newOpenMode other than 0 then opens it.
  int32_t CreateFile(double seLatitude, double seLongitude, int16_t xResolution,
                     int16_t yResolution, std::string& fileName, int32_t newOpenMode,
                     int32_t fillValue);

  // --- Coordinate model ------------------------------------------------------
  int32_t CoordinateMode() const { return coordinateMode_; }
  // 0, 1 or 2 (error 0); anything else is error 9 and keeps the mode.
  void SetCoordinateMode(int32_t newMode);

  // The position in the tile's zone (UTMZone), not rounded.
  void ConLatLonUTM(double latitude, double longitude, double& utmNorth, double& utmEast);
  // The grid cell nearest to a position; not limited to the grid (rows above
  // row 0 are negative, and so on).
  void ConLatLonFile(double latitude, double longitude, int32_t& row, int32_t& column);
  void ConUTMFile(double utmNorth, double utmEast, int32_t& row, int32_t& column);
  // Whether the position lies in the tile's one-degree cell. In grid
  // coordinates x and y receive the cell point's easting and northing.
  bool InFile(double& x, double& y);
  // The step cache has no content: these accept their arguments and do nothing.
  void CreateCLLFUSStep(double origLatitude, double origLongitude);
  void ConLatLonFileUseStep(double latitude, double longitude, int32_t& row, int32_t& col);
  void ClearCLLFUSStep();

  // --- Fast paths for the record copy ----------------------------------------
  // These use the header as held in the object (in direct I/O mode as read
  // when the file was opened) and read no header field from the file.
  //
  // Whether an already converted position lies in the tile's one-degree cell;
  // false when closed. Same answer as InFile in geographic coordinates.
  bool InCell(double latitude, double longitude) const;
  // Stores a value in the cell nearest to a UTM position of the tile's zone,
  // as SetLULCValue in UTM coordinates does, with its errors (1, 11).
  void SetLULCValueAtUtm(double utmNorth, double utmEast, int16_t newValue);
  // The grid in memory I/O mode, row after row; empty otherwise.
  std::span<const int16_t> GridCells() const { return grid_; }

 private:
  bool ValidateOpenFile(const BinaryFile& file, lucfile::Header& header) const;
  void ReadDataFrom(const BinaryFile& file);
  void Close();

  template <typename T>
  T HeaderField(int offset, T lucfile::Header::*copy);
  // A successful DataSource read leaves LastError alone, a Title read clears it.
  std::string TextField(int offset, std::string lucfile::Header::*copy, bool successClearsError);
  void SetTextField(int offset, std::string lucfile::Header::*copy, std::string_view text);

  // Row and column of X and Y under CoordinateMode; throws LucArithmeticError.
  void ResolveCell(double x, double y, int32_t& row, int32_t& column);
  bool CellInGrid(int32_t row, int32_t column) const;
  std::size_t CellIndex(int32_t row, int32_t column) const;
  int64_t CellFileOffset(int32_t row, int32_t column) const;  // 0-based byte offset
  bool ReadCell(int32_t row, int32_t column, int16_t& value);
  bool WriteCell(int32_t row, int32_t column, int16_t value);
  // Direct I/O mode: writes bytes that lie wholly within the file, after the
  // signature; false for anything that would extend the file.
  bool WriteInsideFile(int64_t offset, const void* data, std::size_t size);

  std::string fileName_;
  bool validateFileName_ = false;
  int32_t openMode_ = kClosed;
  int32_t dataBlockSize_ = 0;
  // The header copies of memory I/O mode; in direct I/O mode the header as
  // read on opening (used for the grid's bounds and by the fast paths).
  lucfile::Header copy_;
  int32_t coordinateMode_ = kGridCoordinates;
  std::vector<int16_t> grid_;  // memory I/O mode: all cells, index row * DataColumns + column
  int32_t lastError_ = kNoError;
  std::optional<BinaryFile> file_;  // open in direct I/O mode only
};

}  // namespace tilbo
