#pragma once
// Start-up settling of the user-defaults INI: the program's own
// QMDEFAULTS.INI is the user-defaults file; settings kept by older versions in
// QMCONFIG.INI in the Windows folder are carried over once.

#include <ctime>
#include <string>

namespace tilbo {

// When the program's QMDEFAULTS.INI does not exist yet (and the current path
// is neither it nor the bare name "QMDEFAULTS.INI"), an old QMCONFIG.INI in the
// Windows folder is copied to it and then renamed "QMCONFIG YYYYMMDDhhmmss.INI"
// (local time). A failed copy or rename is ignored; the old file is renamed
// only after a successful copy, so its settings are never lost. False, with the
// path unchanged, when the Windows folder does not exist. With `setPath` the
// program's QMDEFAULTS.INI becomes the user-defaults INI path.
bool SettleUserDefaultsIni(bool setPath);

// The name an old settings file is renamed to, for a given local time.
std::string RetiredConfigName(std::time_t when);

}  // namespace tilbo
