#include "suite/ActiveProcedures.h"

#include <array>
#include <utility>

namespace tilbo {
namespace {

std::vector<ActiveProcedureEntry> g_procedures;

constexpr std::array<std::pair<int, const char*>, 1> kProcedureNames = {{
    {kProcDecDegToString, "DecDeg_to_String"},
}};

}  // namespace

void ClearActiveProcedures() { g_procedures.clear(); }

void PushActiveProcedure(int number, int flag) { g_procedures.push_back({number, flag}); }

void PopActiveProcedure() {
  if (!g_procedures.empty()) g_procedures.pop_back();
}

const std::vector<ActiveProcedureEntry>& ActiveProcedures() { return g_procedures; }

std::string ProcedureName(int number) {
  for (const auto& [known, name] : kProcedureNames) {
    if (known == number) return name;
  }
  return std::to_string(number);
}

}  // namespace tilbo
