#pragma once
// The excluded-points log: a text file beside the source, appended to, with a
// heading block and one fixed-column line per source point written nowhere.
// Columns follow print-position rules: text placed at column n starts there,
// padded with spaces; when the line already reaches past column n the text
// continues at column n of a new line. Lines end with CR LF, and reach the
// file whole (see AppendLog): runs appending to one log never split a line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "suite/AppendLog.h"

namespace tilbo {

// Builds one line from texts placed at 1-based columns.
class PrintLine {
 public:
  PrintLine& At(int column, const std::string& text);
  // The text so far, possibly several lines joined by CR LF, without the final line end.
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  int column_ = 1;  // where the next character goes on the current line
};

// The log file's name for a source: the title before its first "1:" (trimmed),
// or the whole title trimmed, + ".txt", in the source's directory (the current
// directory when the source path has none).
std::string ExcludedPointsLogPath(const std::string& sourceTitle, const std::string& sourcePath);

class ExcludedPointsLog {
 public:
  bool Open(const std::string& path);
  bool IsOpen() const { return file_.IsOpen(); }
  const std::string& Path() const { return path_; }
  void Close();

  // The heading block written when the log is opened.
  void WriteRunHeading(const std::string& sourceTitle, const std::string& dateTime,
                       const std::vector<std::string>& tickedRows);
  // The column heading written as the record copy starts.
  void WriteColumnHeading();
  // One excluded point; the coordinate texts are already formatted.
  void WritePoint(int32_t record, int32_t easting, int32_t northing, const std::string& latitude,
                  const std::string& longitude, int16_t value, bool readError);
  // The raw card of a record that could not be read.
  void WriteRawCard(const std::string& card);

 private:
  void WriteLine(const std::string& text);
  static constexpr std::size_t kBufferBytes = 1 << 16;
  AppendLog file_{kBufferBytes};
  std::string path_;
};

// "###,###" of a value, trimmed: grouped digits, empty for 0.
std::string GroupedNumber(double value);

}  // namespace tilbo
