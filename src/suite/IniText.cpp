#include "suite/IniText.h"

#include <vector>

#include "suite/TextUtil.h"

namespace tilbo {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kCrLf = "\r\n";

enum class LineKind { Blank, Section, Comment, Key, Bare };

// One line of the text. Offsets index the whole text; the views point into it.
struct Line {
  LineKind kind = LineKind::Blank;
  std::size_t begin = 0;       // first byte of the line
  std::size_t end = 0;         // after its last byte, line end excluded
  std::size_t next = 0;        // first byte of the next line
  std::string_view name;       // section name or key, trimmed
  std::string_view value;      // value of a key line, trimmed
  std::size_t valueBegin = 0;  // where a new value replaces the old one
};

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

Line ClassifyLine(std::string_view content, std::size_t begin, std::size_t end, std::size_t next) {
  Line line;
  line.begin = begin;
  line.end = end;
  line.next = next;
  const std::string_view raw = content.substr(begin, end - begin);
  const std::string_view text = TrimBlanks(raw);
  if (text.empty()) return line;
  if (text.front() == '[') {
    const auto close = text.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      line.kind = LineKind::Section;
      line.name = TrimBlanks(text.substr(1, close - 1));
      return line;
    }
  }
  if (text.front() == ';') {
    line.kind = LineKind::Comment;
    return line;
  }
  const auto eq = raw.find('=');
  if (eq == std::string_view::npos) {
    line.kind = LineKind::Bare;
    line.name = text;
    return line;
  }
  line.kind = LineKind::Key;
  line.name = TrimBlanks(raw.substr(0, eq));
  line.value = TrimBlanks(raw.substr(eq + 1));
  // Keep the blanks between "=" and a value; when there is no value, blanks
  // after "=" are trailing blanks and are not kept.
  line.valueBegin = begin + eq + 1;
  if (!line.value.empty()) line.valueBegin = static_cast<std::size_t>(line.value.data() - content.data());
  return line;
}

// Splits on CR, LF or CR LF. A line end at the very end does not start another line.
std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < content.size()) {
    const auto brk = content.find_first_of(kCrLf, begin);
    if (brk == std::string_view::npos) {
      lines.push_back(ClassifyLine(content, begin, content.size(), content.size()));
      break;
    }
    std::size_t next = brk + 1;
    if (content[brk] == '\r' && next < content.size() && content[next] == '\n') ++next;
    lines.push_back(ClassifyLine(content, begin, brk, next));
    begin = next;
  }
  return lines;
}

// The first section of that name: the index of its header and of the line
// after its last line.
struct SectionRange {
  std::size_t header = 0;
  std::size_t end = 0;
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, std::string_view section) {
  const std::string_view wanted = TrimBlanks(section);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != LineKind::Section || !EqualsIgnoreCase(lines[i].name, wanted)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && lines[end].kind != LineKind::Section) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

// The first key or bare line of that name inside the section.
std::optional<std::size_t> FindKey(const std::vector<Line>& lines, const SectionRange& range,
                                   std::string_view key) {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const Line& line = lines[i];
    if ((line.kind == LineKind::Key || line.kind == LineKind::Bare) && EqualsIgnoreCase(line.name, key)) {
      return i;
    }
  }
  return std::nullopt;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of(kCrLf) != std::string_view::npos; }

std::string_view StripMatchingQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Puts `block` (whole lines, each with its line end) after the last non-blank
// line of the section.
std::string InsertAtSectionEnd(std::string_view content, const std::vector<Line>& lines,
                               const SectionRange& range, std::string_view block, std::string_view eol) {
  std::size_t last = range.header;
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    if (lines[i].kind != LineKind::Blank) last = i;
  }
  const Line& after = lines[last];
  std::string out(content.substr(0, after.next));
  if (after.next == after.end) out += eol;  // the last line of the text had no line end
  out += block;
  out += content.substr(after.next);
  return out;
}

// Appends a new section with its lines at the end of the text, after a blank line.
std::string AppendSection(std::string_view content, const std::vector<Line>& lines,
                          std::string_view section, std::string_view block, std::string_view eol) {
  std::string out(content);
  if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += eol;
  bool anyText = false;
  for (const Line& line : lines) anyText = anyText || line.kind != LineKind::Blank;
  if (anyText && lines.back().kind != LineKind::Blank) out += eol;
  out += '[';
  out += TrimBlanks(section);
  out += ']';
  out += eol;
  out += block;
  return out;
}

}  // namespace

std::string_view IniLineEnd(std::string_view content) {
  const auto brk = content.find_first_of(kCrLf);
  if (brk == std::string_view::npos) return "\r\n";
  if (content[brk] == '\n') return "\n";
  if (brk + 1 < content.size() && content[brk + 1] == '\n') return "\r\n";
  return "\r";
}

std::string IniGetString(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  const std::size_t limit = bufferSize - 1;
  const std::string_view wantedKey = TrimBlanks(key);
  if (!wantedKey.empty()) {
    const std::vector<Line> lines = SplitLines(content);
    if (const auto range = FindSection(lines, section)) {
      if (const auto index = FindKey(lines, *range, wantedKey); index && lines[*index].kind == LineKind::Key) {
        return Left(StripMatchingQuotes(lines[*index].value), limit);
      }
    }
  }
  return Left(RTrim(defaultValue), limit);
}

std::string IniSectionText(std::string_view content, std::string_view section) {
  std::string out;
  const std::vector<Line> lines = SplitLines(content);
  if (const auto range = FindSection(lines, section)) {
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
      const Line& line = lines[i];
      if (line.kind == LineKind::Key) {
        out += line.name;
        out += '=';
        out += line.value;
        out += '\0';
      } else if (line.kind == LineKind::Bare) {
        out += line.name;
        out += '\0';
      }
    }
  }
  out += '\0';
  return out;
}

int IniGetSection(std::string_view content, std::string_view section, std::string& buffer,
                  std::size_t bufferSize) {
  buffer.clear();
  if (bufferSize < 2) return 0;
  std::string full = IniSectionText(content, section);
  if (full.size() <= bufferSize) {
    buffer = std::move(full);
    return static_cast<int>(buffer.size() - 1);
  }
  buffer.assign(full, 0, bufferSize - 2);
  buffer.append(2, '\0');
  return static_cast<int>(bufferSize - 2);
}

std::optional<std::string> IniSetString(std::string_view content, std::string_view section,
                                        std::string_view key, std::string_view value) {
  const std::string_view keyName = TrimBlanks(key);
  if (keyName.empty() || keyName.find('=') != std::string_view::npos || keyName.front() == '[' ||
      keyName.front() == ';' || HasLineBreak(section) || HasLineBreak(keyName) || HasLineBreak(value)) {
    return std::nullopt;
  }
  const std::string_view eol = IniLineEnd(content);
  const std::vector<Line> lines = SplitLines(content);
  std::string newLine = std::string(keyName) + "=" + std::string(value);

  const auto range = FindSection(lines, section);
  if (!range) return AppendSection(content, lines, section, newLine + std::string(eol), eol);

  if (const auto index = FindKey(lines, *range, keyName)) {
    const Line& line = lines[*index];
    std::string replaced;
    if (line.kind == LineKind::Key) {
      replaced = std::string(content.substr(line.begin, line.valueBegin - line.begin)) + std::string(value);
    } else {
      replaced = RTrim(content.substr(line.begin, line.end - line.begin)) + "=" + std::string(value);
    }
    std::string out(content.substr(0, line.begin));
    out += replaced;
    out += content.substr(line.end);
    return out;
  }
  return InsertAtSectionEnd(content, lines, *range, newLine + std::string(eol), eol);
}

std::optional<std::string> IniSetSection(std::string_view content, std::string_view section,
                                         std::string_view entries) {
  if (HasLineBreak(section)) return std::nullopt;
  const std::string_view eol = IniLineEnd(content);
  std::string block;
  std::size_t at = 0;
  while (at < entries.size()) {
    auto stop = entries.find('\0', at);
    if (stop == std::string_view::npos) stop = entries.size();
    const std::string_view entry = entries.substr(at, stop - at);
    if (entry.empty()) break;
    const std::string_view trimmed = TrimBlanks(entry);
    if (HasLineBreak(entry) || (!trimmed.empty() && trimmed.front() == '[')) return std::nullopt;
    block += entry;
    block += eol;
    at = stop + 1;
  }

  const std::vector<Line> lines = SplitLines(content);
  const auto range = FindSection(lines, section);
  if (!range) return AppendSection(content, lines, section, block, eol);

  std::optional<std::size_t> firstKey;
  for (std::size_t i = range->header + 1; i < range->end && !firstKey; ++i) {
    if (lines[i].kind == LineKind::Key || lines[i].kind == LineKind::Bare) firstKey = i;
  }
  if (!firstKey) {
    if (block.empty()) return std::string(content);
    return InsertAtSectionEnd(content, lines, *range, block, eol);
  }

  // The block takes the place of the first key line; the other key lines of
  // the section go; comments and blank lines stay where they are.
  std::string out(content.substr(0, lines[*firstKey].begin));
  out += block;
  for (std::size_t i = *firstKey + 1; i < range->end; ++i) {
    const Line& line = lines[i];
    if (line.kind == LineKind::Key || line.kind == LineKind::Bare) continue;
    out += content.substr(line.begin, line.next - line.begin);
  }
  if (range->end < lines.size()) out += content.substr(lines[range->end].begin);
  return out;
}

}  // namespace tilbo
