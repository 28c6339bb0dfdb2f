#include "suite/SystemInfo.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>

namespace tilbo {

clsSystemInfo::clsSystemInfo() {
  struct utsname names {};
  if (::uname(&names) == 0) {
    systemName_ = std::string(names.sysname) + " " + names.release;
    processorType_ = names.machine;
  }
  struct sysinfo memory {};
  if (::sysinfo(&memory) == 0) {
    freeMemoryKB_ = static_cast<uint64_t>(memory.freeram) * memory.mem_unit / 1024;
  }
}

}  // namespace tilbo
