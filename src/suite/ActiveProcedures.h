#pragma once
// The list of active procedures of the shared modules, printed by the error
// report. Procedures are recorded by number with a flag; a lookup gives the
// names of the numbers known here.

#include <string>
#include <vector>

namespace tilbo {

inline constexpr int kProcDecDegToString = 615;

struct ActiveProcedureEntry {
  int number = 0;
  int flag = 0;
};

void ClearActiveProcedures();
void PushActiveProcedure(int number, int flag);
// Removes the last entry; nothing when the list is empty.
void PopActiveProcedure();
const std::vector<ActiveProcedureEntry>& ActiveProcedures();

// The procedure's name when it is known, else its number in decimal.
std::string ProcedureName(int number);

// Appends an entry for the scope of a procedure.
class ActiveProcedure {
 public:
  ActiveProcedure(int number, int flag) { PushActiveProcedure(number, flag); }
  ~ActiveProcedure() { PopActiveProcedure(); }
  ActiveProcedure(const ActiveProcedure&) = delete;
  ActiveProcedure& operator=(const ActiveProcedure&) = delete;
};

}  // namespace tilbo
