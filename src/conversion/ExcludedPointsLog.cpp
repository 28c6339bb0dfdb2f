#include "conversion/ExcludedPointsLog.h"

#include <filesystem>

#include "suite/NumberFormat.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {
constexpr std::size_t kRecordColumnWidth = 9;
}

PrintLine& PrintLine::At(int column, const std::string& text) {
  if (column_ > column) {
    text_ += "\r\n";
    column_ = 1;
  }
  text_.append(static_cast<std::size_t>(column - column_), ' ');
  text_ += text;
  column_ = column + static_cast<int>(text.size());
  return *this;
}

std::string GroupedNumber(double value) { return Trim(FormatPicture(value, "###,###")); }

std::string ExcludedPointsLogPath(const std::string& sourceTitle, const std::string& sourcePath) {
  const auto scale = sourceTitle.find("1:");
  const std::string name = Trim(scale == std::string::npos ? sourceTitle : sourceTitle.substr(0, scale)) + ".txt";
  const int slash = FindLast(sourcePath, "/");
  std::string directory;
  if (slash > 0) {
    directory = sourcePath.substr(0, static_cast<std::size_t>(slash));
  } else {
    std::error_code ec;
    directory = std::filesystem::current_path(ec).string();
  }
  if (directory.empty() || directory.back() != '/') directory += "/";
  return directory + name;
}

bool ExcludedPointsLog::Open(const std::string& path) {
  const bool opened = file_.Open(path);
  path_ = opened ? path : "";
  return opened;
}

void ExcludedPointsLog::Close() { file_.Close(); }

void ExcludedPointsLog::WriteLine(const std::string& text) { file_.WriteLine(text); }

void ExcludedPointsLog::WriteRunHeading(const std::string& sourceTitle, const std::string& dateTime,
                                        const std::vector<std::string>& tickedRows) {
  WriteLine("[Excluded Points for " + sourceTitle + " (Conversion Beginning " + dateTime + ")]");
  WriteLine("   Files to create and write to:");
  for (const auto& row : tickedRows) WriteLine("      " + row);
}

void ExcludedPointsLog::WriteColumnHeading() {
  WriteLine("");
  WriteLine(PrintLine()
                .At(5, "Record #")
                .At(14, "UTM Easting")
                .At(27, "UTM Northing")
                .At(40, "Latitude")
                .At(58, "Longitude")
                .At(76, "LULC Value")
                .At(87, "Read Error")
                .Text());
  WriteLine(std::string("   --------- ------------ ------------ -----------------") +
            " ----------------- ---------- ----------");
}

void ExcludedPointsLog::WritePoint(int32_t record, int32_t easting, int32_t northing, const std::string& latitude,
                                   const std::string& longitude, int16_t value, bool readError) {
  std::string number = GroupedNumber(record);
  if (number.size() < kRecordColumnWidth) {
    number.insert(0, kRecordColumnWidth - number.size(), ' ');
  } else {
    number.resize(kRecordColumnWidth);
  }
  PrintLine line;
  line.At(3, number)
      .At(14, GroupedNumber(easting))
      .At(27, GroupedNumber(northing))
      .At(40, latitude)
      .At(58, longitude)
      .At(76, GroupedNumber(value));
  if (readError) line.At(87, "YES");
  WriteLine(line.Text());
}

void ExcludedPointsLog::WriteRawCard(const std::string& card) { WriteLine("--> \"" + card + "\""); }

}  // namespace tilbo
