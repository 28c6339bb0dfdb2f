#include "ctg/CTGDecode.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <random>
#include <tuple>

#include "suite/Rounding.h"
#include "support/CTGTestFiles.h"

namespace tilbo {
namespace {

using namespace tilbo::testing;
using ::testing::FieldsAre;
using ::testing::Optional;

constexpr std::nullopt_t kFails = std::nullopt;

// What the general number parse and rounding give for a field: what every
// shortcut of the decoder must give too.
template <typename Int>
std::optional<Int> General(std::string_view field) {
  const std::optional<double> v = ParseLenientNumber(field);
  return v ? RoundToInt<Int>(*v) : std::nullopt;
}

// Integers round half to even and fail outside their type; land-use codes
// above 2,000,000,000 are markers.
TEST(IntegerFields, RoundingRangesAndMarkers) {
  constexpr int32_t kMinInt32 = std::numeric_limits<int32_t>::min();
  using I16 = std::optional<int16_t>;
  using I32 = std::optional<int32_t>;
  const struct { const char* field; I16 int16; I32 int32; I16 code; } cases[] = {
      {"2.5", 2, 2, 2},                               {"3.5", 4, 4, 4},
      {"-2.5", -2, -2, -2},                           {"2.51", 3, 3, 3},
      {"32767", 32767, 32767, 32767},                 {"32767.5", kFails, 32768, kFails},
      {"-32768.5", -32768, -32768, -32768},           {"-32769", kFails, -32769, kFails},
      {"2147483647", kFails, 2147483647, 0},          {"2147483647.5", kFails, kFails, 0},
      {"-2147483648", kFails, kMinInt32, kFails},     {"-2147483649", kFails, kFails, kFails},
      {"-5094.3E3", kFails, -5094300, kFails},        {"1E999", kFails, kFails, kFails},
      {"2000000101", kFails, 2000000101, 101},        {"2000000102", kFails, 2000000102, 102},
      {"2.000000101E9", kFails, 2000000101, 101},     {"20000 00102", kFails, 2000000102, 102},
      {"2000000050", kFails, 2000000050, 0},          {"  9999999999", kFails, kFails, 0},
      {"9E99", kFails, kFails, 0},
      {"2000000000", kFails, 2000000000, kFails},  // the marker limit itself is no marker
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(DecodeInt16Field(c.field), c.int16);
    EXPECT_EQ(DecodeInt32Field(c.field), c.int32);
    EXPECT_EQ(DecodeLULCCodeField(c.field), c.code);
  }
}

// Fields of digits, blanks and signs take a shortcut that must read them as
// the general parse does.
TEST(IntegerFields, DigitsAndBlanksDecodeAsTheGeneralParseReadsThem) {
  for (const char* field : {" 1 2 ", "\t-7", "- 5", "+", "-", "", "5-", "--5", "+-3", "-0", "0032767", "32768",
                            "-32768", "-32769", "\n\n42\n", "2147483647", "-2147483649", " 2000000101", "20000 00102",
                            "2000000050", "2000000000", "999999999999999999", "9999999999999999999",
                            "12345678901234567890", "1 2 3 4 5 6 7 8 9 0 1 2"}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(field)));
    EXPECT_EQ(DecodeInt16Field(field), General<int16_t>(field));
    EXPECT_EQ(DecodeInt32Field(field), General<int32_t>(field));
    if (ParseLenientNumber(field).value_or(0) <= 2e9) {
      EXPECT_EQ(DecodeLULCCodeField(field), General<int16_t>(field));
    }
  }
}

// Whole records take a faster path still; random records, mostly of digits
// and blanks, must decode as the general parse of each field reads them (the
// land-use code as its field decoder reads it).
TEST(CTGCellDecode, RandomRecordsDecodeAsTheGeneralParseReadsThem) {
  std::mt19937 random(7);
  const std::string alphabet = "  0123456789-+.\tE\nx";
  // Right-aligned digits of any length, now and then with any character put in.
  auto field = [&](std::size_t width) {
    std::string f(width, ' ');
    for (std::size_t k = width - random() % (width + 1); k < width; ++k) f[k] = static_cast<char>('0' + random() % 10);
    if (random() % 3 == 0) f[random() % width] = alphabet[random() % alphabet.size()];
    return f;
  };
  for (int i = 0; i < 20000; ++i) {
    std::string record = field(3) + field(8) + field(8) + field(1) + field(10);
    record.resize(kCTGRecordLength, ' ');
    const auto zone = General<int16_t>(record.substr(0, 3));
    const auto easting = General<int32_t>(record.substr(3, 8));
    const auto northing = General<int32_t>(record.substr(11, 8));
    const auto code = DecodeLULCCodeField(record.substr(20, 10));  // markers: see the table above
    const std::optional<CTGCell> cell = DecodeCTGCell(record);
    ASSERT_EQ(cell.has_value(), zone && easting && northing && code) << record;
    if (cell) {
      EXPECT_EQ(CellFields(*cell), std::tie(*zone, *easting, *northing, *code)) << record;
    }
  }
}

// Column 20 and columns 31-80 are not read; a short record reads as if
// padded with blanks.
TEST(CTGCellDecode, UnreadColumnsAndShortRecords) {
  std::string record = DataRecord(19, 263600, 4987000, "42");
  EXPECT_THAT(DecodeCTGCell(record.substr(0, 15)), Optional(FieldsAre(19, 263600, 498, 0)));
  record.replace(19, 1, "9").replace(30, 50, std::string(50, '7'));
  EXPECT_THAT(DecodeCTGCell(record), Optional(FieldsAre(19, 263600, 4987000, 42)));
}

TEST(DMSField, OnlyTheLastSevenColumnsCount) {
  const std::pair<const char*, double> cases[] = {
      {"   0743000", 74.5}, {"9990743000", 74.5}, {"    440000", 44.0}, {"   1000000", 100.0},
      {"    443036", 44.0 + 30.0 / 60 + 36.0 / 3600},
      {"0001 2 3 4", 12.0 + 3.0 / 60 + 4.0 / 3600},  // "1 2", " 3", " 4"
      {"0743000", 74.5}, {"74", 74.0}, {"", 0.0},
      {"   -743000", -73.5},  // the sign belongs to the degrees alone
  };
  for (const auto& [field, degrees] : cases) EXPECT_DOUBLE_EQ(DecodeDMSField(field), degrees) << field;
}

TEST(CTGHeaderDecode, TrimmingUnreadColumnsShortInputAndFieldsThatDoNotFit) {
  const CTGHeader base = *DecodeCTGHeader(ValidHeader());
  auto with = [](std::size_t at, std::string_view text) { return ValidHeader().replace(at, text.size(), text); };
  // The three texts filling their columns, the title with blanks around.
  std::string textBytes = with(70, "ABCDEFGHIJ");
  textBytes.replace(300, 10, "1984-06-28").replace(320, 64, "  A  B" + std::string(57, ' ') + "Z");
  CTGHeader texts = base;
  texts.Rec1Text71 = "ABCDEFGHIJ";
  texts.DataDate = "1984-06-28";
  texts.Title = "A  B" + std::string(57, ' ') + "Z";
  const struct { const char* name; std::string bytes; std::optional<CTGHeader> header; } cases[] = {
      {"record 1 cols 31-35 unread", with(30, "XXXXX"), base},
      {"record 5 cols 65-80 unread", with(4 * 80 + 64, "IGNORED TAIL"), base},
      {"texts trimmed, in their columns", textBytes, texts},
      {"cut after 90 bytes", ValidHeader().substr(0, 90),
       DecodeCTGHeader(ValidHeader().substr(0, 90) + std::string(310, ' '))},
      {"a 16-bit field of 40000", with(0, "     40000"), kFails},
      {"record 1 col 61 too large", with(60, "     1E999"), kFails},
      {"a northing beyond 32 bits", with(3 * 80 + 50, "3000000000"), kFails},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeCTGHeader(c.bytes), c.header) << c.name;
}

}  // namespace
}  // namespace tilbo
