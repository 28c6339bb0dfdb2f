#pragma once
// INI files with the private-profile semantics (see IniText.h for the rules).
// Every call reads the file afresh; a write is a read-modify-write under an
// advisory lock (flock on the sibling "<file>.lock", which is never renamed or
// removed) and replaces the file atomically, so a crash, a full disk or a
// second writer never leaves a half-written or mixed file, and a failed write
// leaves the old file untouched. A write into a missing directory fails, and
// so does a write to a file that may not be written (see WriteProtected): it
// stays byte for byte as it was. A replaced file keeps its owner and mode; a
// file reached through a symbolic link is written through to its target.

#include <cstddef>
#include <string>
#include <string_view>

namespace tilbo {

// A bare name (no "/") resolves in GetWindowsFolder(). The suite's well-known
// names (QMDEFAULTS.INI, QMconfig.InI alias QMCONFIG.INI, QMGAV32.INI,
// QMTECSUP.TXT) are looked up ignoring case within their directory: an
// existing file is used; a new one is created with the name as given.
std::string ResolveProfilePath(const std::string& path);

// GetPrivateProfileString: at most bufferSize-1 bytes come back; a missing
// file, section or key gives the default less its trailing blanks; "key="
// gives ""; a value in one pair of matching quotes comes back unquoted.
std::string ProfileGetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             std::size_t bufferSize, const std::string& path);

// WritePrivateProfileString: false (errno set) when the file cannot be
// written or the key or value cannot be stored (EINVAL).
bool ProfileWriteString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path);

// GetPrivateProfileSection: fills `buffer` with "key=value\0...\0\0" (quotes
// kept, comments skipped, bare lines kept bare) and returns the length
// without the final "\0"; when the buffer is too small returns bufferSize-2.
int ProfileGetSection(std::string_view section, std::string& buffer, std::size_t bufferSize,
                      const std::string& path);

// WritePrivateProfileSection: `entries` as "key=value\0...\0\0"; replaces the
// section's entries in place keeping its header, or appends the section.
bool ProfileWriteSection(std::string_view section, std::string_view entries, const std::string& path);

}  // namespace tilbo
