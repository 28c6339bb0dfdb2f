#pragma once
// The start-up check of the regional number format: settings files keep
// numbers written with the decimal character and digit separator of the day
// they were written, so a change of those characters is worth a warning.

#include <string>

namespace tilbo {

// Reads the locale's decimal character and digit separator into Config()
// (lastDecimal, lastDigitSeparator) and compares them with "Last Decimal" and
// "Last Dig Sep" of section "CONFIG" of the user-defaults INI. `description`
// receives one sentence per difference (an empty stored value is never a
// difference); true when there is any.
bool ReadRegionalFormat(std::string& description);

// When nothing changed, stores the current characters in the user-defaults
// INI. When something did, stores nothing (so the warning comes back at every
// start until the file is purged), writes the warning to the technical-support
// log and shows it as an information message titled "Regional Settings Changed".
void CheckRegionalSettings();

}  // namespace tilbo
