#pragma once
// Where the suite's files live on this system, the path join used for every
// file name the program builds, and the file-existence test.
//
// Directories (each overridable from the environment, for tests and for
// installations that keep their files elsewhere):
// - the program's own directory (QMDEFAULTS.INI, temporary tiles):
//   CTGTILBO_HOME, else ${XDG_DATA_HOME:-$HOME/.local/share}/ctgtilbo;
// - the "Windows folder", where bare INI names resolve and an old QMCONFIG.INI
//   is found: CTGTILBO_WINDOWS_DIR, else ${XDG_CONFIG_HOME:-$HOME/.config}/ctgtilbo;
// - the suite directory (QMGAV32.INI, QMTECSUP.TXT): CTGTILBO_SUITE_DIR,
//   else the program's own directory.

#include <string>
#include <string_view>

namespace tilbo {

// The program's own directory, ending in "/"; created when missing.
std::string ProgramDirectory();
// The Windows folder, without a trailing "/"; created when missing.
std::string GetWindowsFolder();
// The suite directory, ending in "/".
std::string GetSuiteDirectory();

// Joins a directory and a file name with "/": leading "/" or "\" of the name
// are dropped, a NUL ending the directory is ignored, both parts are
// right-trimmed, and "/" is added unless the directory ends in one.
// `convertSlashes` turns separators into the platform's own; "/" already is.
std::string setPathName(const std::string& directory, const std::string& name, bool convertSlashes);

// True when the path names a file of at least one byte: a missing file and an
// empty one both count as absent.
bool FileExists(const std::string& path);

// The suite's well-known file names are matched ignoring case within their
// directory (QMconfig.InI and QMCONFIG.INI are one file). When `path` ends in
// such a name and its directory holds a file whose name matches ignoring case,
// that file's path is returned (an exact match first); otherwise `path` itself.
std::string ResolveWellKnownName(const std::string& path);
bool IsWellKnownName(std::string_view name);

}  // namespace tilbo
