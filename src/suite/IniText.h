#pragma once
// The INI text engine: reads and edits the bytes of an INI file in memory with
// the rules of the private-profile functions. The file store (IniStore.h)
// wraps it; tests and the fuzzer feed it strings.
//
// Reading rules:
// - Lines split on CR, LF or CR LF; each line is trimmed of blanks (space,
//   tab); blank lines are ignored.
// - "[" starts a section header; the name is the trimmed text up to the last
//   "]" (a "[" line without "]" is an ordinary line). ";" starts a comment.
// - Any other line is a key line, split at its first "="; key and value are
//   trimmed. A line without "=" is a bare key without a value.
// - Section and key names match ignoring (ASCII) case. Of duplicate sections
//   only the first is seen; of duplicate keys in it, the first wins. Lines
//   before the first header belong to no section.
//
// Editing keeps every line it does not change byte for byte and writes new
// lines with the line end the text already uses (CR LF for a text without one).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tilbo {

// A key read (GetPrivateProfileString): at most bufferSize-1 bytes come back.
// A value in one pair of matching quotes (' or ") comes back without them;
// "key=" gives the empty text. A missing section or key, a bare key and an
// empty key name give the default with its trailing blanks removed.
std::string IniGetString(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t bufferSize);

// The key lines of a section in file order as "key=value\0...\0" followed by
// one more "\0" (quotes kept, comments skipped, a bare key without "=").
// A missing or empty section gives the single "\0".
std::string IniSectionText(std::string_view content, std::string_view section);

// A section read (GetPrivateProfileSection) into a buffer of bufferSize bytes:
// returns the length without the final "\0", and `buffer` holds the bytes
// filled in, the final "\0" included. When the section does not fit, the
// buffer holds its first bufferSize-2 bytes and "\0\0", and the result is
// bufferSize-2. A bufferSize below 2 gives 0 and an empty buffer.
int IniGetSection(std::string_view content, std::string_view section, std::string& buffer,
                  std::size_t bufferSize);

// Writes one key (WritePrivateProfileString) and returns the new text: an
// existing key keeps its line up to "=" and the blanks after it, with the new
// value in place of the old; a new key goes after the last line of its
// section; a new section goes at the end of the text after a blank line.
// Nothing (no text) when the names or value cannot be stored: an empty key, a
// key holding "=" or starting with "[" or ";", or a line end in any of them.
std::optional<std::string> IniSetString(std::string_view content, std::string_view section,
                                        std::string_view key, std::string_view value);

// Replaces the entries of a section (WritePrivateProfileSection). `entries` is
// "line\0line\0...\0" ending at an empty line or at the end of the view. The
// section keeps its header and its comment lines; its key lines are replaced
// by the new lines, placed where its first key line was (or after its last
// line when it had none). A missing section is appended with the entries.
// Nothing when an entry holds a line end or starts with "[".
std::optional<std::string> IniSetSection(std::string_view content, std::string_view section,
                                         std::string_view entries);

// The line end a text uses: that of its first line break, CR LF when it has none.
std::string_view IniLineEnd(std::string_view content);

}  // namespace tilbo
