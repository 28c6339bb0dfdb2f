#include "suite/NumberFormat.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <langinfo.h>
#include <locale.h>

namespace tilbo {
namespace {

const NumberSeparators* g_override = nullptr;

NumberSeparators ReadLocaleSeparators() {
  NumberSeparators seps;
  locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) return seps;
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  const char* thousands = nl_langinfo_l(THOUSEP, loc);
  if (radix != nullptr && *radix != '\0') seps.decimal = radix;
  if (thousands != nullptr && *thousands != '\0') seps.thousands = thousands;
  freelocale(loc);
  return seps;
}

}  // namespace

const NumberSeparators& CurrentSeparators() {
  if (g_override != nullptr) return *g_override;
  static const NumberSeparators fromEnvironment = ReadLocaleSeparators();
  return fromEnvironment;
}

void OverrideSeparatorsForTesting(const NumberSeparators* separators) { g_override = separators; }

std::string FormatPicture(double value, std::string_view picture) {
  return FormatPicture(value, picture, CurrentSeparators());
}

std::string FormatPicture(double value, std::string_view picture, const NumberSeparators& seps) {
  // Split the picture into its literal prefix, integer part and decimal part.
  std::size_t i = 0;
  std::string prefix;
  while (i < picture.size() && picture[i] != '#' && picture[i] != '0' && picture[i] != '.' &&
         picture[i] != ',') {
    prefix.push_back(picture[i++]);
  }
  int minIntDigits = 0;
  bool grouping = false;
  for (; i < picture.size() && picture[i] != '.'; ++i) {
    if (picture[i] == '0') ++minIntDigits;
    if (picture[i] == ',') grouping = true;
  }
  const bool hasPoint = i < picture.size() && picture[i] == '.';
  int minDecimals = 0, maxDecimals = 0;
  if (hasPoint) {
    for (++i; i < picture.size(); ++i) {
      if (picture[i] == '0') ++minDecimals, ++maxDecimals;
      if (picture[i] == '#') ++maxDecimals;
    }
  }

  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", maxDecimals, std::fabs(value));
  std::string digits(buffer);
  std::string intPart = digits.substr(0, digits.find('.'));
  std::string fracPart = digits.find('.') == std::string::npos ? "" : digits.substr(digits.find('.') + 1);
  while (static_cast<int>(fracPart.size()) > minDecimals && fracPart.back() == '0') fracPart.pop_back();

  const bool isZero = intPart.find_first_not_of('0') == std::string::npos &&
                      fracPart.find_first_not_of('0') == std::string::npos;
  if (intPart == "0") intPart.clear();
  while (static_cast<int>(intPart.size()) < minIntDigits) intPart.insert(0, "0");
  if (grouping && intPart.size() > 3) {
    std::string grouped;
    for (std::size_t k = 0; k < intPart.size(); ++k) {
      if (k != 0 && (intPart.size() - k) % 3 == 0) grouped += seps.thousands;
      grouped.push_back(intPart[k]);
    }
    intPart = std::move(grouped);
  }

  std::string out;
  if (value < 0 && !isZero) out = "-";
  out += prefix;
  out += intPart;
  if (hasPoint && (!fracPart.empty() || maxDecimals == 0)) {
    out += seps.decimal;
    out += fracPart;
  }
  return out;
}

std::string NumberText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  if (value == 0) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text(buffer);
  // Drop trailing zeros of the mantissa's fraction ("%G" keeps none, but be sure).
  const auto exponentAt = text.find('E');
  std::string mantissa = text.substr(0, exponentAt);
  std::string exponent = exponentAt == std::string::npos ? "" : text.substr(exponentAt);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  const auto point = mantissa.find('.');
  if (point != std::string::npos) mantissa.replace(point, 1, CurrentSeparators().decimal);
  return mantissa + exponent;
}

}  // namespace tilbo
