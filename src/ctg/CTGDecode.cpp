#include "ctg/CTGDecode.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <system_error>

#include "suite/NumericValue.h"
#include "suite/Rounding.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {

// Land-use code fields above this value are markers, not codes.
constexpr double kLULCMarkerThreshold = 2000000000.0;
constexpr double kLULCMarkerLand = 2000000101.0;
constexpr double kLULCMarkerWater = 2000000102.0;
constexpr int16_t kLULCCodeLandUndefined = 101;
constexpr int16_t kLULCCodeWaterUndefined = 102;

// Up to this many digits fit a 64-bit integer exactly; wider text takes the
// full parse.
constexpr std::size_t kMaxPlainFieldWidth = 18;

// The value of a right-aligned unsigned number (blanks, then digits), as
// files write nearly every field; false for any other field. The commonest
// case of PlainFieldValue, in a loop short enough to run at memory speed.
inline bool RightAlignedDigits(std::string_view field, int64_t& value) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  int64_t v = 0;
  for (; i < field.size(); ++i) {
    const auto digit = static_cast<unsigned>(static_cast<unsigned char>(field[i])) - unsigned{'0'};
    if (digit > 9) return false;
    v = v * 10 + digit;
  }
  value = v;
  return true;
}

// The value of a field made of blanks and digits, with at most a sign before
// the first digit: nearly every field of a real file. The lenient parse reads
// such a field as its digits joined (blanks, tabs and line feeds are skipped
// anywhere), and the whole number is exact, so rounding changes nothing.
// Nothing for any other field, which takes the full parse.
std::optional<int64_t> PlainFieldValue(std::string_view field) {
  if (field.size() > kMaxPlainFieldWidth) return std::nullopt;
  if (int64_t digits = 0; RightAlignedDigits(field, digits)) return digits;
  int64_t value = 0;
  bool negative = false, signSeen = false, digitSeen = false;
  for (const char c : field) {
    if (c >= '0' && c <= '9') {
      value = value * 10 + (c - '0');
      digitSeen = true;
    } else if (c == ' ' || c == '\t' || c == '\n') {
      continue;
    } else if ((c == '-' || c == '+') && !signSeen && !digitSeen) {
      negative = c == '-';
      signSeen = true;
    } else {
      return std::nullopt;
    }
  }
  return negative ? -value : value;
}

template <typename Int>
std::optional<Int> FitInt(int64_t value) {
  if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max()) return std::nullopt;
  return static_cast<Int>(value);
}

template <typename Int>
std::optional<Int> DecodeIntField(std::string_view field) {
  if (const std::optional<int64_t> plain = PlainFieldValue(field)) return FitInt<Int>(*plain);
  const std::optional<double> value = ParseLenientNumber(field);
  if (!value) return std::nullopt;
  return RoundToInt<Int>(*value);
}

// Columns [column, column + width) of a record (1-based column).
std::string_view Columns(std::string_view record, std::size_t column, std::size_t width) {
  return record.substr(column - 1, width);
}

// The record padded with blanks to `length` bytes (when it is shorter).
std::string PadWithBlanks(std::string_view bytes, std::size_t length) {
  std::string padded(bytes.substr(0, length));
  padded.resize(length, ' ');
  return padded;
}

// Eight columns holding a right-aligned unsigned number (blanks, then
// digits), read eight bytes at a time without a branch per column: the
// easting and northing of nearly every record. False for anything else.
bool RightAlignedEightColumns(const char* columns, int64_t& value) {
  constexpr uint64_t kOnes = 0x0101010101010101;
  constexpr uint64_t kHigh = kOnes * 0x80;
  constexpr uint64_t kLow7 = kOnes * 0x7f;
  constexpr uint64_t kNibbles = kOnes * 0xf0;
  uint64_t x = 0;
  std::memcpy(&x, columns, sizeof x);
  if constexpr (std::endian::native == std::endian::big) x = __builtin_bswap64(x);
  // 0x80 in each blank byte (the first column is the lowest byte).
  const uint64_t t = x ^ (kOnes * ' ');
  const uint64_t blank = ~(((t & kLow7) + kLow7) | t) & kHigh;
  const int leading = std::countr_zero(~blank & kHigh) / 8;
  const uint64_t prefix = leading == 8 ? kHigh : ((uint64_t{1} << (8 * leading)) - 1) & kHigh;
  if (blank != prefix) return false;
  const uint64_t digits = x + (blank >> 7) * 0x10;  // the leading blanks as zeros
  if ((digits & kNibbles) != kOnes * 0x30 || ((digits + kOnes * 0x06) & kNibbles) != kOnes * 0x30) return false;
  // Eight digits to their value: pairs, then fours, then the whole.
  uint64_t v = digits - kOnes * '0';
  v = v * 10 + (v >> 8);
  v = (((v & 0x000000ff000000ff) * (100 + (uint64_t{1000000} << 32))) +
       (((v >> 16) & 0x000000ff000000ff) * (1 + (uint64_t{10000} << 32)))) >>
      32;
  value = static_cast<int64_t>(v);
  return true;
}

// A whole record whose fields are all right-aligned unsigned numbers that
// fit their types, the land-use code within its last eight columns; nothing
// for any other record, which takes the field decoders. Values are exact,
// so they are what the lenient parse reads.
std::optional<CTGCell> DecodeRightAlignedCell(std::string_view record) {
  int64_t zone = 0, easting = 0, northing = 0, code = 0;
  if (!RightAlignedDigits(record.substr(0, 3), zone) || !RightAlignedEightColumns(record.data() + 3, easting) ||
      !RightAlignedEightColumns(record.data() + 11, northing) || record[20] != ' ' || record[21] != ' ' ||
      !RightAlignedEightColumns(record.data() + 22, code) || code > std::numeric_limits<int16_t>::max()) {
    return std::nullopt;
  }
  return CTGCell{static_cast<int16_t>(zone), static_cast<int32_t>(easting), static_cast<int32_t>(northing),
                 static_cast<int16_t>(code)};
}

}  // namespace

std::optional<int16_t> DecodeInt16Field(std::string_view field) { return DecodeIntField<int16_t>(field); }

std::optional<int32_t> DecodeInt32Field(std::string_view field) { return DecodeIntField<int32_t>(field); }

std::optional<int16_t> DecodeLULCCodeField(std::string_view field) {
  // A plain field's value is a whole number of at most 18 digits, exact in
  // 64 bits, where the tests below give what they give on the double.
  if (const std::optional<int64_t> plain = PlainFieldValue(field)) {
    if (*plain > static_cast<int64_t>(kLULCMarkerThreshold)) {
      if (*plain == static_cast<int64_t>(kLULCMarkerLand)) return kLULCCodeLandUndefined;
      if (*plain == static_cast<int64_t>(kLULCMarkerWater)) return kLULCCodeWaterUndefined;
      return int16_t{0};
    }
    return FitInt<int16_t>(*plain);
  }
  const std::optional<double> value = ParseLenientNumber(field);
  if (!value) return std::nullopt;
  if (*value > kLULCMarkerThreshold) {
    if (*value == kLULCMarkerLand) return kLULCCodeLandUndefined;
    if (*value == kLULCMarkerWater) return kLULCCodeWaterUndefined;
    return int16_t{0};
  }
  return RoundToInt<int16_t>(*value);
}

double DecodeDMSField(std::string_view field) {
  constexpr std::size_t kDMSLength = 7;
  const std::string_view dms = field.substr(field.size() - std::min(field.size(), kDMSLength));
  auto part = [&](std::size_t offset, std::size_t width) {
    // Three characters at most: always within the range of a double.
    return offset < dms.size() ? ParseLenientNumber(dms.substr(offset, width)).value_or(0.0) : 0.0;
  };
  const double degrees = part(0, 3);
  const double minutes = part(3, 2);
  const double seconds = part(5, 2);
  return (minutes / 60 + degrees) + seconds / 3600;
}

std::optional<CTGHeader> DecodeCTGHeader(std::string_view records) {
  const std::string bytes = PadWithBlanks(records, kCTGHeaderLength);
  auto record = [&](int number) {
    return std::string_view(bytes).substr((number - 1) * kCTGRecordLength, kCTGRecordLength);
  };
  CTGHeader h;
  bool ok = true;
  auto int16 = [&](std::string_view r, std::size_t column, std::size_t width, int16_t& out) {
    const std::optional<int16_t> v = DecodeInt16Field(Columns(r, column, width));
    ok = ok && v.has_value();
    out = v.value_or(0);
  };
  auto int32 = [&](std::string_view r, std::size_t column, std::size_t width, int32_t& out) {
    const std::optional<int32_t> v = DecodeInt32Field(Columns(r, column, width));
    ok = ok && v.has_value();
    out = v.value_or(0);
  };
  auto latitude = [&](std::string_view r, std::size_t column, double& out) {
    out = DecodeDMSField(Columns(r, column, 10));
  };
  // Longitudes are written as positive numbers west of Greenwich.
  auto longitude = [&](std::string_view r, std::size_t column, double& out) {
    out = -DecodeDMSField(Columns(r, column, 10));
  };

  const std::string_view r1 = record(1);
  int16(r1, 1, 10, h.GridDimension1);
  int32(r1, 11, 10, h.RecordCountTimes2);
  int16(r1, 21, 10, h.GridDimension2);
  int16(r1, 36, 5, h.CellSize);
  int16(r1, 41, 5, h.Rec1Value41);
  int16(r1, 46, 5, h.Rec1Value46);
  int16(r1, 51, 5, h.Rec1Value51);
  int16(r1, 56, 5, h.Rec1Value56);
  const std::optional<double> real = ParseLenientNumber(Columns(r1, 61, 10));
  ok = ok && real.has_value();
  h.Rec1Real61 = real.value_or(0.0);
  h.Rec1Text71 = Trim(Columns(r1, 71, 10));

  const std::string_view r2 = record(2);
  for (std::size_t i = 0; i < h.Rec2Values.size(); ++i) int16(r2, 1 + 5 * i, 5, h.Rec2Values[i]);

  const std::string_view r3 = record(3);
  latitude(r3, 1, h.Point1Latitude);
  longitude(r3, 11, h.Point1Longitude);
  latitude(r3, 21, h.Point2Latitude);
  longitude(r3, 31, h.Point2Longitude);
  latitude(r3, 41, h.Point3Latitude);
  longitude(r3, 51, h.Point3Longitude);
  latitude(r3, 61, h.Point4Latitude);
  longitude(r3, 71, h.Point4Longitude);

  const std::string_view r4 = record(4);
  latitude(r4, 1, h.Point5Latitude);
  longitude(r4, 11, h.Point5Longitude);
  latitude(r4, 21, h.Point6Latitude);
  longitude(r4, 31, h.Point6Longitude);
  int32(r4, 41, 10, h.RefCornerEasting);
  int32(r4, 51, 10, h.RefCornerNorthing);
  h.DataDate = Trim(Columns(r4, 61, 10));

  h.Title = Trim(Columns(record(5), 1, 64));

  if (!ok) return std::nullopt;
  return h;
}

std::optional<CTGCell> DecodeCTGCell(std::string_view record) {
  if (record.size() >= kCTGRecordLength) {
    if (const std::optional<CTGCell> cell = DecodeRightAlignedCell(record)) return cell;
  }
  std::string padded;
  if (record.size() < kCTGRecordLength) {
    padded = PadWithBlanks(record, kCTGRecordLength);
    record = padded;
  }
  const std::optional<int16_t> zone = DecodeInt16Field(Columns(record, 1, 3));
  const std::optional<int32_t> easting = DecodeInt32Field(Columns(record, 4, 8));
  const std::optional<int32_t> northing = DecodeInt32Field(Columns(record, 12, 8));
  const std::optional<int16_t> code = DecodeLULCCodeField(Columns(record, 21, 10));
  if (!zone || !easting || !northing || !code) return std::nullopt;
  return CTGCell{*zone, *easting, *northing, *code};
}

}  // namespace tilbo
