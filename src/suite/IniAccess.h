#pragma once
// The suite's INI read and write operations, with their trimming and truth
// rules. None reports failure: a failed read gives the default, a failed write
// is ignored. Bare file names resolve in the Windows folder (IniStore.h).

#include <cstddef>
#include <string>

namespace tilbo {

// Values come back through a buffer of this size, so at most 1999 bytes.
inline constexpr std::size_t kIniValueBufferSize = 2000;

// Section, key, default and file name are trimmed first; a missing key gives
// the trimmed default.
std::string ReadINI(const std::string& section, const std::string& key, const std::string& def,
                    const std::string& file);
// ReadINI; a blank file name is first replaced, in the caller's variable too,
// by the user-defaults INI path.
std::string ReadINIText(const std::string& section, const std::string& key, const std::string& def,
                        std::string& file);
// As ReadINIText; true when the value, upper-cased and trimmed, is "-1",
// "TRUE" or "1".
bool ReadINIBool(const std::string& section, const std::string& key, const std::string& def,
                 std::string& file);
// Reads the suite INI; true when the value is "-1" or, upper-cased, "TRUE"
// ("1" is false here: the suite INI has its own truth rule).
bool ReadSuiteINIBool(const std::string& section, const std::string& key, const std::string& def);
// Trims all four arguments and writes the key; the result is ignored.
void WriteINI(const std::string& section, const std::string& key, const std::string& value,
              const std::string& file);

}  // namespace tilbo
