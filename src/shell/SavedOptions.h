#pragma once
// The converter's saved options: one table of INI keys and defaults, in
// section "CTG Tilbo Settings" of the user-defaults INI file. Every value is
// text; a check box is ticked when its value begins with "Y" or "y".

#include <string>

#include "shell/frmMain.h"

namespace tilbo {

inline constexpr const char* kSettingsSection = "CTG Tilbo Settings";

struct SavedOption {
  const char* key;
  const char* defaultValue;
};

inline constexpr SavedOption kOptionDeleteOld{"Delete Old", "No"};
inline constexpr SavedOption kOptionOverwrite{"Overwrite Existing", "No"};
inline constexpr SavedOption kOptionLogExcluded{"Log Excluded", "No"};
inline constexpr SavedOption kOptionUseExisting{"Use Existing Files", "No"};
inline constexpr SavedOption kOptionCreateNew{"Create New Files", "Yes"};
inline constexpr SavedOption kOptionLastCTGFile{"Last CTG File", ""};

// The saved check boxes of the main window, in the order start-up reads them
// and the unload step writes them. The outside-point options are written only
// while their boxes are enabled (the directory list could be read).
struct SavedCheckBox {
  SavedOption option;
  CheckBox frmMain::*box;
  bool outsidePoint;
};

inline constexpr SavedCheckBox kSavedCheckBoxes[] = {
    {kOptionDeleteOld, &frmMain::chkDeleteOldFile, false},  {kOptionOverwrite, &frmMain::chkOverwrite, false},
    {kOptionLogExcluded, &frmMain::chkLogExcluded, false}, {kOptionUseExisting, &frmMain::chkUseExisting, true},
    {kOptionCreateNew, &frmMain::chkCreateNew, true},
};

inline bool OptionTicked(const std::string& value) {
  return !value.empty() && (value[0] == 'Y' || value[0] == 'y');
}
inline const char* OptionText(bool ticked) { return ticked ? "Yes" : "No"; }

}  // namespace tilbo
