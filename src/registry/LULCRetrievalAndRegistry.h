#pragma once
// The LUC directory list: the directories where the suite looks for LUC
// tiles, kept in section "LULC Directories" of the user-defaults INI as
// "Directory 1", "Directory 2", ... (or the single entry "Empty=True").
//
// Every user reads the list, queries or changes it, optionally saves it, and
// releases it. Each operation sets the last-error code, which callers read
// with LRR_LastError() after each call; nothing is ever shown to the user.
// Directories in the list end in "/".

#include <cstdint>
#include <string>

namespace tilbo {

// Error codes (texts in LRR_ErrorText).
inline constexpr int32_t kLRRNoError = 0;
inline constexpr int32_t kLRRNotRead = 1;
inline constexpr int32_t kLRRAlreadyRead = 2;
inline constexpr int32_t kLRRIndexOutOfBounds = 3;
inline constexpr int32_t kLRRBadDirectoryName = 5;
inline constexpr int32_t kLRRIniFileNotSet = 11;
inline constexpr int32_t kLRRUnknownError = 21;

inline constexpr const char* kLULCDirectoriesSection = "LULC Directories";

// The failure behind a code 21 or 5.
struct LRRFailure {
  int32_t Number = 0;
  std::string Description;
};

// Loads the list from the user-defaults INI (Config().userDefaultsIniPath, read
// at each use), leaving out entries whose directory does not exist.
// Codes 0, 2 (already read), 11 (no INI path), 21.
void LRR_ReadDirectories();
// The number of directories; code 1 and 0 when the list is not read.
int16_t LRR_GetDirectoryCount();
// The directory at a 1-based index; code 3 and "" outside 1..N, code 1 and ""
// when not read; on success the code is left as it was.
std::string LRR_GetDirectory(int16_t index);
// Appends a directory in memory, adding "/" when missing. Codes 0, 1, 21.
void LRR_AddDirectory(const std::string& path);
// Replaces the INI section with the list in memory. Codes 0, 1, 11, 21.
void LRR_SaveDirectories();
// Empties the list so that it can be read again. Codes 0, 1.
void LRR_ReleaseDirectories();
// The full path of the LUC tile covering the point: in `directory` when it is
// not blank (code left as it was when not found), else in the listed
// directories in order (code 0, "" when none holds it). Codes 0, 1, 5.
std::string LRR_FindFile(double latitude, double longitude, const std::string& directory);

int32_t LRR_LastError();
std::string LRR_ErrorText(int32_t code);
LRRFailure LRR_LastFailure();
// Code 0 and an empty failure.
void LRR_ResetError();
// Back to the state at program start: not read, no error.
void LRR_ResetModuleForTesting();

}  // namespace tilbo
