#include "luc/LUCFileV1.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <limits>
#include <new>
#include <utility>

#include "luc/TileName.h"
#include "luc/TileGrid.h"
#include "suite/AtomicFile.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {

// Cells are little-endian in the file; on a big-endian host swap in place.
void SwapCellsIfBigEndian(std::span<int16_t> cells) {
  if constexpr (std::endian::native == std::endian::big) {
    for (auto& cell : cells) {
      const auto bits = static_cast<uint16_t>(cell);
      cell = static_cast<int16_t>(static_cast<uint16_t>((bits << 8) | (bits >> 8)));
    }
  }
}

std::span<const unsigned char> BytesOf(std::span<const int16_t> cells) {
  return {reinterpret_cast<const unsigned char*>(cells.data()), cells.size_bytes()};
}

}  // namespace

// --- Life cycle -------------------------------------------------------------

LUCFileV1::~LUCFileV1() { Close(); }

LUCFileV1::LUCFileV1(LUCFileV1&& other) noexcept { *this = std::move(other); }

LUCFileV1& LUCFileV1::operator=(LUCFileV1&& other) noexcept {
  if (this == &other) return *this;
  Close();
  fileName_ = std::move(other.fileName_);
  validateFileName_ = other.validateFileName_;
  openMode_ = other.openMode_;
  dataBlockSize_ = other.dataBlockSize_;
  copy_ = std::move(other.copy_);
  coordinateMode_ = other.coordinateMode_;
  grid_ = std::move(other.grid_);
  lastError_ = other.lastError_;
  file_ = std::move(other.file_);
  // The moved-from object: closed, as a new one.
  other.Close();
  other.fileName_.clear();
  other.validateFileName_ = false;
  other.coordinateMode_ = kGridCoordinates;
  other.lastError_ = kNoError;
  return *this;
}

void LUCFileV1::Close() {
  file_.reset();
  grid_ = {};
  copy_ = {};
  dataBlockSize_ = 0;
  openMode_ = kClosed;
}

std::string LUCFileV1::ErrorDescription(int32_t errorCode) {
  switch (errorCode) {
    case kNoError: return "No error.";
    case kFileNotOpen: return "File not open.";
    case kNotInMemoryMode: return "Not in memory I/O mode.";
    case kBadOpenMode: return "Bad open mode.";
    case kFileNameNotSet: return "Filename not set.";
    case kFileNotFound: return "File not found.";
    case kInvalidFile: return "Invalid file or file error.";
    case kNoDataBlock: return "No data block defined.";
    case kStringTooLong: return "String too long.";
    case kBadCoordinateMode: return "Bad coordinate mode.";
    case kNoBufferedData: return "No buffered data.";
    case kUnknownError: return "Unknown error.";
    default: return "Error code does not exist.";
  }
}

// --- Opening and closing -----------------------------------------------------

void LUCFileV1::SetOpenMode(int32_t newMode) {
  try {
    if (newMode == openMode_) {
      lastError_ = kNoError;
      return;
    }
    if (newMode == kClosed) {
      Close();
      lastError_ = kNoError;
      return;
    }
    if (newMode != kDirectIo && newMode != kMemoryIo) {
      lastError_ = kBadOpenMode;
      return;
    }
    if (fileName_.empty()) {
      lastError_ = kFileNameNotSet;
      return;
    }
    if (!RegularFileExists(fileName_)) {
      lastError_ = kFileNotFound;
      return;
    }
    auto file = BinaryFile::Open(fileName_, BinaryFile::Access::kReadWriteIfPermitted);
    if (!file) {
      lastError_ = kUnknownError;
      return;
    }
    lucfile::Header header;
    if (!ValidateOpenFile(*file, header)) {
      lastError_ = kInvalidFile;  // the mode stays; `file` closes here
      return;
    }
    if (newMode == kDirectIo) {
      grid_ = {};  // leaving memory I/O mode drops its grid
      dataBlockSize_ = 0;
      copy_ = std::move(header);
      file_ = std::move(file);
      openMode_ = kDirectIo;
      lastError_ = kNoError;
      return;
    }
    const int32_t previousMode = openMode_;
    openMode_ = kMemoryIo;
    ReadDataFrom(*file);
    if (lastError_ != kNoError) {
      openMode_ = previousMode;  // ReadData changed nothing; its code stays
      return;
    }
    file_.reset();  // memory I/O mode keeps no file open
    lastError_ = kNoError;
  } catch (...) {
    lastError_ = kUnknownError;
  }
}

bool LUCFileV1::ValidateOpenFile(const BinaryFile& file, lucfile::Header& header) const {
  std::optional<std::pair<double, double>> cornerFromName;
  if (validateFileName_) {
    const int separator = FindLast(fileName_, "/");
    cornerFromName = CornerFromTileName(std::string_view(fileName_).substr(separator));
    if (!cornerFromName) return false;
  }

  // Only the signature and, with the name, the corner fields are looked at: a
  // file cut short opens in direct I/O mode, where every field and cell is
  // read from the file itself and what lies beyond its end fails. Memory I/O
  // mode checks the header against the file's length before it allocates.
  lucfile::HeaderBytes bytes{};
  const int64_t held = std::min<int64_t>(file.Size(), lucfile::kHeaderSize);
  if (held < lucfile::kSignatureSize || !file.ReadAt(0, bytes.data(), static_cast<std::size_t>(held))) return false;
  const std::string signature(reinterpret_cast<const char*>(bytes.data()), lucfile::kSignatureSize);
  if (ToUpperAscii(signature) != lucfile::kSignature) return false;

  header = lucfile::DecodeHeader(bytes);  // fields beyond the end of the file read as 0
  if (cornerFromName && (held < lucfile::kHeaderSize || header.seCornerLatitude != cornerFromName->first ||
                         header.seCornerLongitude != cornerFromName->second)) {
    return false;
  }
  return true;
}

bool LUCFileV1::WriteInsideFile(int64_t offset, const void* data, std::size_t size) {
  // A write past the end would grow the file with a hole of zero cells.
  const int64_t fileSize = file_->Size();
  if (offset < lucfile::kSignatureSize || fileSize < 0 || offset > fileSize - static_cast<int64_t>(size)) {
    return false;
  }
  return file_->WriteAt(offset, data, size);
}

// --- Memory I/O mode ---------------------------------------------------------

void LUCFileV1::ReadData() {
  if (openMode_ != kMemoryIo) {
    lastError_ = kBadOpenMode;
    return;
  }
  try {
    if (file_) {
      ReadDataFrom(*file_);
      return;
    }
    const auto file = BinaryFile::Open(fileName_, BinaryFile::Access::kReadOnly);
    if (!file) {
      lastError_ = kInvalidFile;
      return;
    }
    ReadDataFrom(*file);
  } catch (...) {
    lastError_ = kInvalidFile;
  }
}

void LUCFileV1::ReadDataFrom(const BinaryFile& file) {
  // Everything is read aside and only then replaces the copies, so that a
  // failed reload leaves the object as it was.
  lucfile::HeaderBytes bytes{};
  if (!file.ReadAt(0, bytes.data(), bytes.size())) {
    lastError_ = kInvalidFile;
    return;
  }
  lucfile::Header header = lucfile::DecodeHeader(bytes);
  if (!lucfile::GridFitsFile(header, file.Size())) {
    lastError_ = kInvalidFile;
    return;
  }
  // LoadGrid: the data region in one read.
  std::vector<int16_t> grid;
  try {
    grid.resize(static_cast<std::size_t>(header.dataRows) *
                static_cast<std::size_t>(header.dataColumns));
  } catch (const std::bad_alloc&) {
    lastError_ = kInvalidFile;
    return;
  }
  if (!file.ReadAt(header.recordLength, grid.data(), grid.size() * sizeof(int16_t))) {
    lastError_ = kInvalidFile;
    return;
  }
  SwapCellsIfBigEndian(grid);
  dataBlockSize_ = header.dataRows * header.recordLength;  // fits: checked by GridFitsFile
  copy_ = std::move(header);
  grid_ = std::move(grid);
  lastError_ = kNoError;
}

void LUCFileV1::WriteData() {
  if (openMode_ != kMemoryIo) {
    lastError_ = kBadOpenMode;
    return;
  }
  try {
    auto file = BinaryFile::Open(fileName_, BinaryFile::Access::kReadWrite);
    if (!file) {
      lastError_ = kInvalidFile;
      return;
    }
    // The header copies: every field after the signature, in one write.
    lucfile::HeaderBytes bytes{};
    lucfile::EncodeHeader(copy_, bytes);
    constexpr int kFieldsStart = lucfile::kSignatureOffset + lucfile::kSignatureSize;
    if (!file->WriteAt(kFieldsStart, bytes.data() + kFieldsStart, bytes.size() - kFieldsStart)) {
      lastError_ = kInvalidFile;
      return;
    }
    // SaveGrid: the whole grid at the start of record 1.
    bool saved = false;
    if constexpr (std::endian::native == std::endian::little) {
      const auto gridBytes = BytesOf(grid_);
      saved = file->WriteAt(copy_.recordLength, gridBytes.data(), gridBytes.size());
    } else {
      std::vector<int16_t> swapped = grid_;
      SwapCellsIfBigEndian(swapped);
      const auto gridBytes = BytesOf(swapped);
      saved = file->WriteAt(copy_.recordLength, gridBytes.data(), gridBytes.size());
    }
    lastError_ = saved ? kNoError : kInvalidFile;
  } catch (...) {
    lastError_ = kInvalidFile;
  }
}

// --- Header properties ---------------------------------------------------------

template <typename T>
T LUCFileV1::HeaderField(int offset, T lucfile::Header::*copy) {
  switch (openMode_) {
    case kMemoryIo:
      lastError_ = kNoError;
      return copy_.*copy;
    case kDirectIo: {
      unsigned char bytes[sizeof(T)];
      if (!file_->ReadAt(offset, bytes, sizeof bytes)) {
        lastError_ = kInvalidFile;
        return T{};
      }
      lastError_ = kNoError;
      return lucfile::GetLE<T>(bytes);
    }
    default:
      lastError_ = kFileNotOpen;
      return T{};
  }
}

int32_t LUCFileV1::RecordLength() {
  return HeaderField(lucfile::kRecordLengthOffset, &lucfile::Header::recordLength);
}
int16_t LUCFileV1::XResolution() {
  return HeaderField(lucfile::kXResolutionOffset, &lucfile::Header::xResolution);
}
int16_t LUCFileV1::YResolution() {
  return HeaderField(lucfile::kYResolutionOffset, &lucfile::Header::yResolution);
}
int16_t LUCFileV1::UTMZone() {
  return HeaderField(lucfile::kUtmZoneOffset, &lucfile::Header::utmZone);
}
int32_t LUCFileV1::DataRows() {
  return HeaderField(lucfile::kDataRowsOffset, &lucfile::Header::dataRows);
}
int32_t LUCFileV1::DataColumns() {
  return HeaderField(lucfile::kDataColumnsOffset, &lucfile::Header::dataColumns);
}
double LUCFileV1::NWCornerLatitude() {
  return HeaderField(lucfile::kNWCornerLatitudeOffset, &lucfile::Header::nwCornerLatitude);
}
double LUCFileV1::NWCornerLongitude() {
  return HeaderField(lucfile::kNWCornerLongitudeOffset, &lucfile::Header::nwCornerLongitude);
}
int32_t LUCFileV1::MinEasting() {
  return HeaderField(lucfile::kMinEastingOffset, &lucfile::Header::minEasting);
}
int32_t LUCFileV1::MaxNorthing() {
  return HeaderField(lucfile::kMaxNorthingOffset, &lucfile::Header::maxNorthing);
}
double LUCFileV1::SECornerLatitude() {
  return HeaderField(lucfile::kSECornerLatitudeOffset, &lucfile::Header::seCornerLatitude);
}
double LUCFileV1::SECornerLongitude() {
  return HeaderField(lucfile::kSECornerLongitudeOffset, &lucfile::Header::seCornerLongitude);
}
int32_t LUCFileV1::MaxEasting() {
  return HeaderField(lucfile::kMaxEastingOffset, &lucfile::Header::maxEasting);
}
int32_t LUCFileV1::MinNorthing() {
  return HeaderField(lucfile::kMinNorthingOffset, &lucfile::Header::minNorthing);
}

int32_t LUCFileV1::DataBlockSize() {
  switch (openMode_) {
    case kMemoryIo:
      lastError_ = kNoError;
      return dataBlockSize_;
    case kDirectIo: {
      const int64_t rows = DataRows();
      if (lastError_ != kNoError) return 0;
      const int64_t size = rows * RecordLength();
      if (lastError_ != kNoError) return 0;
      if (size < std::numeric_limits<int32_t>::min() || size > std::numeric_limits<int32_t>::max()) {
        lastError_ = kInvalidFile;
        return 0;
      }
      return static_cast<int32_t>(size);
    }
    default:
      lastError_ = kFileNotOpen;
      return 0;
  }
}

std::string LUCFileV1::TextField(int offset, std::string lucfile::Header::*copy,
                                 bool successClearsError) {
  switch (openMode_) {
    case kMemoryIo:
      if (successClearsError) lastError_ = kNoError;
      return copy_.*copy;
    case kDirectIo: {
      std::string text(kTextLength, '\0');
      if (!file_->ReadAt(offset, text.data(), text.size())) {
        lastError_ = kInvalidFile;
        return {};
      }
      if (successClearsError) lastError_ = kNoError;
      return text;
    }
    default:
      lastError_ = kFileNotOpen;
      return {};
  }
}

std::string LUCFileV1::DataSource() {
  return TextField(lucfile::kDataSourceOffset, &lucfile::Header::dataSource, false);
}

std::string LUCFileV1::Title() {
  return TextField(lucfile::kTitleOffset, &lucfile::Header::title, true);
}

void LUCFileV1::SetTextField(int offset, std::string lucfile::Header::*copy,
                             std::string_view text) {
  if (text.size() > kTextLength) {
    lastError_ = kStringTooLong;
    return;
  }
  std::string padded(text);
  padded.resize(kTextLength, ' ');
  switch (openMode_) {
    case kMemoryIo:
      copy_.*copy = std::move(padded);
      lastError_ = kNoError;
      return;
    case kDirectIo:
      if (!WriteInsideFile(offset, padded.data(), padded.size())) {
        lastError_ = kInvalidFile;
        return;
      }
      copy_.*copy = std::move(padded);
      lastError_ = kNoError;
      return;
    default:
      lastError_ = kFileNotOpen;
  }
}

void LUCFileV1::SetDataSource(std::string_view newSource) {
  SetTextField(lucfile::kDataSourceOffset, &lucfile::Header::dataSource, newSource);
}

void LUCFileV1::SetTitle(std::string_view newTitle) {
  SetTextField(lucfile::kTitleOffset, &lucfile::Header::title, newTitle);
}

int32_t LUCFileV1::BlockDataRows() {
  lastError_ = kNoBufferedData;  // block mode is never turned on
  return 0;
}

int32_t LUCFileV1::BlockDataColumns() {
  lastError_ = kNoBufferedData;
  return 0;
}

// --- Cells -------------------------------------------------------------------

bool LUCFileV1::CellInGrid(int32_t row, int32_t column) const {
  return row >= 0 && row < copy_.dataRows && column >= 0 && column < copy_.dataColumns;
}

std::size_t LUCFileV1::CellIndex(int32_t row, int32_t column) const {
  return static_cast<std::size_t>(row) * static_cast<std::size_t>(copy_.dataColumns) +
         static_cast<std::size_t>(column);
}

int64_t LUCFileV1::CellFileOffset(int32_t row, int32_t column) const {
  return (int64_t{row} + 1) * copy_.recordLength + int64_t{lucfile::kCellSize} * column;
}

bool LUCFileV1::ReadCell(int32_t row, int32_t column, int16_t& value) {
  if (openMode_ == kMemoryIo) {
    value = grid_[CellIndex(row, column)];
    return true;
  }
  // A cell lies in the grid records, never in the header.
  const int64_t offset = CellFileOffset(row, column);
  unsigned char bytes[lucfile::kCellSize];
  if (offset < lucfile::kHeaderSize || !file_->ReadAt(offset, bytes, sizeof bytes)) return false;
  value = lucfile::GetLE<int16_t>(bytes);
  return true;
}

bool LUCFileV1::WriteCell(int32_t row, int32_t column, int16_t value) {
  if (openMode_ == kMemoryIo) {
    grid_[CellIndex(row, column)] = value;
    return true;
  }
  const int64_t offset = CellFileOffset(row, column);
  unsigned char bytes[lucfile::kCellSize];
  lucfile::PutLE(bytes, value);
  return offset >= lucfile::kHeaderSize && WriteInsideFile(offset, bytes, sizeof bytes);
}

int16_t LUCFileV1::LULCValue(double x, double y) {
  if (openMode_ == kClosed) {
    lastError_ = kFileNotOpen;
    return 0;
  }
  try {
    int32_t row = 0;
    int32_t column = 0;
    ResolveCell(x, y, row, column);
    int16_t value = 0;
    if (!CellInGrid(row, column) || !ReadCell(row, column, value)) {
      lastError_ = kUnknownError;
      return 0;
    }
    lastError_ = kNoError;
    return value;
  } catch (...) {
    lastError_ = kUnknownError;
    return 0;
  }
}

void LUCFileV1::SetLULCValue(double x, double y, int16_t newValue) {
  if (openMode_ == kClosed) {
    lastError_ = kFileNotOpen;
    return;
  }
  try {
    int32_t row = 0;
    int32_t column = 0;
    ResolveCell(x, y, row, column);
    const bool written = CellInGrid(row, column) && WriteCell(row, column, newValue);
    lastError_ = written ? kNoError : kUnknownError;
  } catch (...) {
    lastError_ = kUnknownError;
  }
}

// --- Creation --------------------------------------------------------------------

int32_t LUCFileV1::CreateFile(double seLatitude, double seLongitude, int16_t xResolution,
                              int16_t yResolution, std::string& fileName, int32_t newOpenMode,
                              int32_t fillValue) {
  if (openMode_ != kClosed) {
    lastError_ = kBadOpenMode;
    return kNotCreated;
  }
  int32_t result = kNotCreated;
  try {
    fileName_.clear();  // a failed creation leaves it empty
    if (fileName.empty()) fileName = LUCTileName(seLatitude, seLongitude);

    const auto layout = PlanTileGrid(seLatitude, seLongitude, xResolution, yResolution);
    if (!layout || fillValue < std::numeric_limits<int16_t>::min() ||
        fillValue > std::numeric_limits<int16_t>::max()) {
      lastError_ = kUnknownError;
      return kNotCreated;
    }

    std::vector<int16_t> grid(static_cast<std::size_t>(layout->dataRows) *
                              static_cast<std::size_t>(layout->dataColumns));
    FillTileGrid(*layout, seLatitude, seLongitude, static_cast<int16_t>(fillValue), grid);
    SwapCellsIfBigEndian(grid);

    // Record 0: the signature, the header fields (texts and NW corner zero),
    // zeros to the end of the record.
    lucfile::Header header;
    header.utmZone = layout->recordedZone;
    header.seCornerLatitude = seLatitude;
    header.seCornerLongitude = seLongitude;
    header.minNorthing = layout->minNorthing;
    header.maxNorthing = layout->maxNorthing;
    header.minEasting = layout->minEasting;
    header.maxEasting = layout->maxEasting;
    header.dataRows = layout->dataRows;
    header.dataColumns = layout->dataColumns;
    header.xResolution = xResolution;
    header.yResolution = yResolution;
    header.recordLength = layout->recordLength;
    lucfile::HeaderBytes headerBytes{};
    std::copy(lucfile::kSignature.begin(), lucfile::kSignature.end(), headerBytes.begin());
    lucfile::EncodeHeader(header, headerBytes);
    std::vector<unsigned char> record0(static_cast<std::size_t>(layout->recordLength), 0);
    std::copy(headerBytes.begin(), headerBytes.end(), record0.begin());

    // A file that may not be written is not replaced either.
    if (!WritableOrAbsent(fileName) || !ReplaceFileAtomically(fileName, {record0, BytesOf(grid)})) {
      lastError_ = kUnknownError;
      return kNotCreated;
    }
    fileName_ = fileName;
    lastError_ = kNoError;
    result = layout->skewed ? kCreatedSkewed : kCreated;
  } catch (...) {
    lastError_ = kUnknownError;
    return kNotCreated;
  }
  if (newOpenMode != kClosed) SetOpenMode(newOpenMode);
  return result;
}

}  // namespace tilbo
