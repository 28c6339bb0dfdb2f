#include "ctg/CTGDecode.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <tuple>

#include "suite/Rounding.h"
#include "support/CTGTestFiles.h"

namespace tilbo {
namespace {

using testing::DataRecord;
using testing::PutRight;
using testing::ValidHeader;

TEST(LenientNumber, SkipsBlanksTabsAndLineFeedsAnywhere) {
  EXPECT_EQ(ParseLenientNumber("    263600"), 263600.0);
  EXPECT_EQ(ParseLenientNumber("1 2\t3\n4"), 1234.0);
  EXPECT_EQ(ParseLenientNumber(" - 1 2 . 5 E 1"), -125.0);
  EXPECT_EQ(ParseLenientNumber("1\r2"), 1.0);  // a carriage return ends the number
}

TEST(LenientNumber, SignFractionAndExponents) {
  EXPECT_EQ(ParseLenientNumber("+7"), 7.0);
  EXPECT_EQ(ParseLenientNumber("-42"), -42.0);
  EXPECT_EQ(ParseLenientNumber("12.25"), 12.25);
  EXPECT_EQ(ParseLenientNumber(".5"), 0.5);
  EXPECT_EQ(ParseLenientNumber("5."), 5.0);
  EXPECT_EQ(ParseLenientNumber("1.5E3"), 1500.0);
  EXPECT_EQ(ParseLenientNumber("1.5e+3"), 1500.0);
  EXPECT_EQ(ParseLenientNumber("2D2"), 200.0);
  EXPECT_EQ(ParseLenientNumber("25d-1"), 2.5);
  EXPECT_EQ(ParseLenientNumber("0.1"), 0.1);  // correctly rounded, like a literal
  EXPECT_EQ(ParseLenientNumber("123456789012345678901234"), 123456789012345678901234.0);
}

TEST(LenientNumber, StopsAtTheFirstCharacterThatCannotContinue) {
  EXPECT_EQ(ParseLenientNumber("12AB"), 12.0);
  EXPECT_EQ(ParseLenientNumber("1.2.3"), 1.2);
  EXPECT_EQ(ParseLenientNumber("12-3"), 12.0);
  EXPECT_EQ(ParseLenientNumber("1E"), 1.0);
  EXPECT_EQ(ParseLenientNumber("1E+"), 1.0);
  EXPECT_EQ(ParseLenientNumber("3E+X5"), 3.0);
  EXPECT_EQ(ParseLenientNumber("--1"), 0.0);
  EXPECT_EQ(ParseLenientNumber("+-1"), 0.0);
}

TEST(LenientNumber, FieldWithoutNumberIsZero) {
  EXPECT_EQ(ParseLenientNumber(""), 0.0);
  EXPECT_EQ(ParseLenientNumber("          "), 0.0);
  EXPECT_EQ(ParseLenientNumber("ABC"), 0.0);
  EXPECT_EQ(ParseLenientNumber("-"), 0.0);
  EXPECT_EQ(ParseLenientNumber("."), 0.0);
  EXPECT_EQ(ParseLenientNumber("E5"), 0.0);
  EXPECT_EQ(ParseLenientNumber(std::string_view("\0 12", 4)), 0.0);
}

TEST(LenientNumber, OverflowFailsAndUnderflowIsZero) {
  EXPECT_EQ(ParseLenientNumber("1E999"), std::nullopt);
  EXPECT_EQ(ParseLenientNumber("-9D400"), std::nullopt);
  EXPECT_EQ(ParseLenientNumber("1E99999999999"), std::nullopt);
  EXPECT_EQ(ParseLenientNumber("1E-999"), 0.0);
  EXPECT_EQ(ParseLenientNumber("0E999"), 0.0);
  EXPECT_EQ(ParseLenientNumber("1.7E308"), 1.7e308);
}

TEST(IntegerFields, RoundHalfToEvenAndFailOutsideTheType) {
  EXPECT_EQ(DecodeInt16Field("2.5"), int16_t{2});
  EXPECT_EQ(DecodeInt16Field("3.5"), int16_t{4});
  EXPECT_EQ(DecodeInt16Field("-2.5"), int16_t{-2});
  EXPECT_EQ(DecodeInt16Field("2.51"), int16_t{3});
  EXPECT_EQ(DecodeInt16Field("32767"), int16_t{32767});
  EXPECT_EQ(DecodeInt16Field("32767.5"), std::nullopt);  // rounds to 32768
  EXPECT_EQ(DecodeInt16Field("32768"), std::nullopt);
  EXPECT_EQ(DecodeInt16Field("-32768.5"), int16_t{-32768});
  EXPECT_EQ(DecodeInt16Field("-32769"), std::nullopt);
  EXPECT_EQ(DecodeInt16Field("1E999"), std::nullopt);
  EXPECT_EQ(DecodeInt32Field("2147483647"), int32_t{2147483647});
  EXPECT_EQ(DecodeInt32Field("2147483648"), std::nullopt);
  EXPECT_EQ(DecodeInt32Field("-2147483648"), int32_t{-2147483647 - 1});
  EXPECT_EQ(DecodeInt32Field("-5094.3E3"), int32_t{-5094300});
}

TEST(LULCCodeField, MarkersAboveTwoBillion) {
  EXPECT_EQ(DecodeLULCCodeField("2000000101"), int16_t{101});
  EXPECT_EQ(DecodeLULCCodeField("2000000102"), int16_t{102});
  EXPECT_EQ(DecodeLULCCodeField("2000000050"), int16_t{0});
  EXPECT_EQ(DecodeLULCCodeField("9E99"), int16_t{0});
  EXPECT_EQ(DecodeLULCCodeField("2000000000"), std::nullopt);  // not above the limit
  EXPECT_EQ(DecodeLULCCodeField("2.000000101E9"), int16_t{101});
  EXPECT_EQ(DecodeLULCCodeField("42"), int16_t{42});
  EXPECT_EQ(DecodeLULCCodeField("-32768"), int16_t{-32768});
  EXPECT_EQ(DecodeLULCCodeField("32768"), std::nullopt);
  EXPECT_EQ(DecodeLULCCodeField("1E999"), std::nullopt);
}

// Fields of digits, blanks and signs take a shortcut; every decoder must give
// what the general number parse and rounding give.
TEST(IntegerFields, DigitsAndBlanksDecodeAsTheGeneralParseReadsThem) {
  auto general = [](std::string_view field, auto type) -> std::optional<decltype(type)> {
    const std::optional<double> v = ParseLenientNumber(field);
    return v ? RoundToInt<decltype(type)>(*v) : std::nullopt;
  };
  for (const char* field : {" 1 2 ", "\t-7", "- 5", "+", "-", "", "5-", "--5", "+-3", "-0", "0032767", "32768",
                            "-32768", "-32769", "\n\n42\n", "2147483647", "-2147483649", " 2000000101", "20000 00102",
                            "2000000050", "2000000000", "999999999999999999", "9999999999999999999",
                            "12345678901234567890", "1 2 3 4 5 6 7 8 9 0 1 2"}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(field)));
    EXPECT_EQ(DecodeInt16Field(field), general(field, int16_t{}));
    EXPECT_EQ(DecodeInt32Field(field), general(field, int32_t{}));
    const std::optional<double> v = ParseLenientNumber(field);
    if (v && *v <= 2e9) {
      EXPECT_EQ(DecodeLULCCodeField(field), general(field, int16_t{}));
    }
  }
  EXPECT_EQ(DecodeLULCCodeField(" 2000000101"), int16_t{101});
  EXPECT_EQ(DecodeLULCCodeField("20000 00102"), int16_t{102});
  EXPECT_EQ(DecodeLULCCodeField("  9999999999"), int16_t{0});
}

// Whole records take a faster path still; random records, mostly of digits
// and blanks, must decode as the general parse of each field reads them.
TEST(CTGCellDecode, RandomRecordsDecodeAsTheGeneralParseReadsThem) {
  auto general = [](std::string_view field, auto type) -> std::optional<decltype(type)> {
    const std::optional<double> v = ParseLenientNumber(field);
    return v ? RoundToInt<decltype(type)>(*v) : std::nullopt;
  };
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
    const std::optional<double> code = ParseLenientNumber(record.substr(20, 10));
    std::optional<int16_t> expectedCode = general(record.substr(20, 10), int16_t{});
    if (code && *code > 2e9) expectedCode = int16_t(*code == 2000000101.0 ? 101 : *code == 2000000102.0 ? 102 : 0);
    const auto zone = general(record.substr(0, 3), int16_t{});
    const auto easting = general(record.substr(3, 8), int32_t{});
    const auto northing = general(record.substr(11, 8), int32_t{});
    const std::optional<CTGCell> cell = DecodeCTGCell(record);
    ASSERT_EQ(cell.has_value(), zone && easting && northing && expectedCode) << record;
    if (cell) {
      EXPECT_EQ(std::tie(cell->UTMZone, cell->Easting, cell->Northing, cell->LULCCode),
                std::tie(*zone, *easting, *northing, *expectedCode)) << record;
    }
  }
}

TEST(DMSField, OnlyTheLastSevenColumnsCount) {
  EXPECT_DOUBLE_EQ(DecodeDMSField("   0743000"), 74.5);
  EXPECT_DOUBLE_EQ(DecodeDMSField("9990743000"), 74.5);
  EXPECT_DOUBLE_EQ(DecodeDMSField("    440000"), 44.0);
  EXPECT_DOUBLE_EQ(DecodeDMSField("   1000000"), 100.0);
  EXPECT_DOUBLE_EQ(DecodeDMSField("    443036"), 44.0 + 30.0 / 60 + 36.0 / 3600);
  EXPECT_DOUBLE_EQ(DecodeDMSField("0001 2 3 4"), 12.0 + 3.0 / 60 + 4.0 / 3600);  // "1 2", " 3", " 4"
  EXPECT_DOUBLE_EQ(DecodeDMSField("0743000"), 74.5);
  EXPECT_DOUBLE_EQ(DecodeDMSField("74"), 74.0);
  EXPECT_DOUBLE_EQ(DecodeDMSField(""), 0.0);
  EXPECT_DOUBLE_EQ(DecodeDMSField("   -743000"), -73.5);  // the sign belongs to the degrees alone
}

TEST(CTGHeaderDecode, EveryFieldOfAFullHeader) {
  std::string bytes = ValidHeader(8618);
  const std::optional<CTGHeader> h = DecodeCTGHeader(bytes);
  ASSERT_TRUE(h.has_value());
  EXPECT_EQ(h->GridDimension1, 3);
  EXPECT_EQ(h->RecordCountTimes2, 8618);
  EXPECT_EQ(h->GridDimension2, 4);
  EXPECT_EQ(h->CellSize, 200);
  EXPECT_EQ(h->Rec1Value41, 4);
  EXPECT_EQ(h->Rec1Value46, 17);
  EXPECT_EQ(h->Rec1Value51, 14);
  EXPECT_EQ(h->Rec1Value56, 1);
  EXPECT_EQ(h->Rec1Real61, 7874016.0);
  EXPECT_EQ(h->Rec1Text71, "1984");
  EXPECT_EQ(h->Rec2Values[0], 1);
  EXPECT_EQ(h->Rec2Values[2], 4);
  EXPECT_EQ(h->Rec2Values[15], 3);
  EXPECT_DOUBLE_EQ(h->Point1Latitude, 45.0);
  EXPECT_DOUBLE_EQ(h->Point1Longitude, -100.0);
  EXPECT_DOUBLE_EQ(h->Point2Latitude, 46.0);
  EXPECT_DOUBLE_EQ(h->Point3Longitude, -99.0);
  EXPECT_DOUBLE_EQ(h->Point4Longitude, -98.0);
  EXPECT_DOUBLE_EQ(h->Point5Latitude, 45.0);
  EXPECT_DOUBLE_EQ(h->Point6Longitude, -99.0);
  EXPECT_EQ(h->RefCornerEasting, 421100);
  EXPECT_EQ(h->RefCornerNorthing, 5094300);
  EXPECT_EQ(h->DataDate, "91170");
  EXPECT_EQ(h->Title, "TEST QUAD");
}

TEST(CTGHeaderDecode, TextsAreTrimmedAndColumnsOutsideFieldsIgnored) {
  std::string bytes = ValidHeader();
  bytes.replace(30, 5, "XXXXX");            // record 1 cols 31-35 are not read
  bytes.replace(4 * 80, 80, std::string(80, ' '));
  bytes.replace(4 * 80 + 2, 5, "A  B ");    // title "  A  B "
  bytes.replace(4 * 80 + 64, 16, "IGNORED TAIL    ");  // record 5 cols 65-80 are not read
  const std::optional<CTGHeader> h = DecodeCTGHeader(bytes);
  ASSERT_TRUE(h.has_value());
  EXPECT_EQ(h->Title, "A  B");
  EXPECT_EQ(h->GridDimension2, 4);
}

TEST(CTGHeaderDecode, FieldsThatDoNotFitFailTheHeader) {
  std::string tooWide = ValidHeader();
  PutRight(tooWide, 1, 10, "40000");  // GridDimension1 is 16-bit
  EXPECT_FALSE(DecodeCTGHeader(tooWide).has_value());
  std::string realOverflow = ValidHeader();
  PutRight(realOverflow, 61, 10, "1E999");
  EXPECT_FALSE(DecodeCTGHeader(realOverflow).has_value());
  std::string rec2 = ValidHeader();
  PutRight(rec2, 80 + 76, 5, "99999");
  EXPECT_FALSE(DecodeCTGHeader(rec2).has_value());
  std::string northing = ValidHeader();
  PutRight(northing, 3 * 80 + 51, 10, "3000000000");
  EXPECT_FALSE(DecodeCTGHeader(northing).has_value());
}

TEST(CTGHeaderDecode, ShortInputReadsAsBlanks) {
  const std::string bytes = ValidHeader().substr(0, 90);
  const std::optional<CTGHeader> h = DecodeCTGHeader(bytes);
  ASSERT_TRUE(h.has_value());
  EXPECT_EQ(h->GridDimension1, 3);
  EXPECT_EQ(h->Rec2Values[0], 1);
  EXPECT_EQ(h->Rec2Values[1], 1);
  EXPECT_EQ(h->Rec2Values[2], 0);
  EXPECT_EQ(h->Title, "");
}

TEST(CTGCellDecode, FieldsAndIgnoredColumns) {
  std::string r = DataRecord(19, 263600, 4987000, "42");
  r[19] = '9';  // column 20 is not read
  r.replace(30, 50, std::string(50, '7'));
  const std::optional<CTGCell> cell = DecodeCTGCell(r);
  ASSERT_TRUE(cell.has_value());
  EXPECT_EQ(cell->UTMZone, 19);
  EXPECT_EQ(cell->Easting, 263600);
  EXPECT_EQ(cell->Northing, 4987000);
  EXPECT_EQ(cell->LULCCode, 42);

  const std::optional<CTGCell> south = DecodeCTGCell(DataRecord(56, 500000, -3700000, "2000000102"));
  ASSERT_TRUE(south.has_value());
  EXPECT_EQ(south->Northing, -3700000);
  EXPECT_EQ(south->LULCCode, 102);
}

TEST(CTGCellDecode, AnyFieldOutOfRangeFailsTheCell) {
  EXPECT_FALSE(DecodeCTGCell(DataRecord(19, 263600, 4987000, "40000")).has_value());
  EXPECT_FALSE(DecodeCTGCell(DataRecord(19, 263600, 4987000, "2000000000")).has_value());
  std::string easting = DataRecord(19, 0, 4987000, "42");
  easting.replace(3, 8, "9E99    ");
  EXPECT_FALSE(DecodeCTGCell(easting).has_value());
  std::string zone = DataRecord(19, 263600, 4987000, "42");
  zone.replace(0, 3, "9E9");
  EXPECT_FALSE(DecodeCTGCell(zone).has_value());
}

TEST(CTGCellDecode, BlankAndShortRecordsAreZeros) {
  const std::optional<CTGCell> blank = DecodeCTGCell(std::string(80, ' '));
  ASSERT_TRUE(blank.has_value());
  EXPECT_EQ(blank->UTMZone, 0);
  EXPECT_EQ(blank->LULCCode, 0);
  const std::optional<CTGCell> cut = DecodeCTGCell(DataRecord(19, 263600, 4987000, "42").substr(0, 15));
  ASSERT_TRUE(cut.has_value());
  EXPECT_EQ(cut->Easting, 263600);
  EXPECT_EQ(cut->Northing, 498);  // "    498" of "4987000", the rest blanks
  EXPECT_EQ(cut->LULCCode, 0);
}

}  // namespace
}  // namespace tilbo
