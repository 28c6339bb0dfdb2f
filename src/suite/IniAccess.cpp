#include "suite/IniAccess.h"

#include "suite/IniStore.h"
#include "suite/SuiteConfig.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {

void UseDefaultsIniWhenBlank(std::string& file) {
  if (LenTrim(file) < 1) file = GetDefaultsIniPath();
}

}  // namespace

std::string ReadINI(const std::string& section, const std::string& key, const std::string& def,
                    const std::string& file) {
  return ProfileGetString(Trim(section), Trim(key), Trim(def), kIniValueBufferSize, Trim(file));
}

std::string ReadINIText(const std::string& section, const std::string& key, const std::string& def,
                        std::string& file) {
  UseDefaultsIniWhenBlank(file);
  return ReadINI(section, key, def, file);
}

bool ReadINIBool(const std::string& section, const std::string& key, const std::string& def,
                 std::string& file) {
  UseDefaultsIniWhenBlank(file);
  const std::string value = Trim(ToUpperAscii(ReadINI(section, key, def, file)));
  return value == "-1" || value == "TRUE" || value == "1";
}

bool ReadSuiteINIBool(const std::string& section, const std::string& key, const std::string& def) {
  const std::string value = ReadINI(section, key, def, GetSuiteIniPath());
  return value == "-1" || ToUpperAscii(value) == "TRUE";
}

void WriteINI(const std::string& section, const std::string& key, const std::string& value,
              const std::string& file) {
  (void)ProfileWriteString(Trim(section), Trim(key), Trim(value), Trim(file));
}

}  // namespace tilbo
