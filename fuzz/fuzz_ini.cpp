// Fuzzes the INI text engine: key and section reads over arbitrary bytes must
// respect their buffers, and every accepted write must read back as written
// while leaving other sections as they were.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "suite/IniText.h"
#include "suite/TextUtil.h"

namespace {

using namespace tilbo;

constexpr std::size_t kLargeBuffer = 1 << 20;
constexpr std::string_view kProbeSection = "probe";

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz_ini: %s\n", what);
    std::abort();
  }
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// What a section read returns after the entries were written as lines.
std::string ExpectedSectionText(std::string_view entries) {
  std::string out;
  std::size_t at = 0;
  while (at < entries.size()) {
    auto stop = entries.find('\0', at);
    if (stop == std::string_view::npos) stop = entries.size();
    const std::string_view entry = entries.substr(at, stop - at);
    if (entry.empty()) break;
    const std::string_view line = TrimBlanks(entry);
    if (!line.empty() && line.front() != ';') {
      const auto eq = entry.find('=');
      if (eq == std::string_view::npos) {
        out += line;
      } else {
        out += TrimBlanks(entry.substr(0, eq));
        out += '=';
        out += TrimBlanks(entry.substr(eq + 1));
      }
      out += '\0';
    }
    at = stop + 1;
  }
  out += '\0';
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string section = in.ConsumeRandomLengthString(32);
  const std::string key = in.ConsumeRandomLengthString(32);
  const std::string value = in.ConsumeRandomLengthString(64);
  const std::string entries = in.ConsumeRandomLengthString(128);
  const std::size_t bufferSize = in.ConsumeIntegralInRange<std::size_t>(0, 4096);
  const std::string content = in.ConsumeRemainingBytesAsString();

  // Reads never exceed their buffer.
  const std::string got = IniGetString(content, section, key, "default", bufferSize);
  Check(bufferSize == 0 ? got.empty() : got.size() <= bufferSize - 1, "key read exceeds its buffer");
  std::string buffer;
  const int length = IniGetSection(content, section, buffer, bufferSize);
  if (bufferSize < 2) {
    Check(length == 0 && buffer.empty(), "section read into a tiny buffer");
  } else {
    Check(buffer.size() <= bufferSize && !buffer.empty() && buffer.back() == '\0', "section buffer shape");
    Check(static_cast<std::size_t>(length) == buffer.size() - 1 ||
              (static_cast<std::size_t>(length) == bufferSize - 2 && buffer.size() == bufferSize),
          "section read length");
  }

  const bool probeIsTarget = EqualsIgnoreCase(TrimBlanks(section), kProbeSection);
  const std::string probeBefore = IniSectionText(content, kProbeSection);

  // A written key reads back as written, and other sections keep their entries.
  if (const auto written = IniSetString(content, section, key, value)) {
    const std::string expected(Unquoted(TrimBlanks(value)));
    Check(IniGetString(*written, section, key, "\x01missing", kLargeBuffer) == expected, "key round trip");
    if (!probeIsTarget) Check(IniSectionText(*written, kProbeSection) == probeBefore, "other section changed by key write");
  }

  // A written section reads back as its entries.
  if (const auto written = IniSetSection(content, section, entries)) {
    Check(IniSectionText(*written, section) == ExpectedSectionText(entries), "section round trip");
    if (!probeIsTarget) {
      Check(IniSectionText(*written, kProbeSection) == probeBefore, "other section changed by section write");
    }
  }
  return 0;
}
