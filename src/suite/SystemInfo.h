#pragma once
// Facts about the machine for the technical-support log header.

#include <cstdint>
#include <string>

namespace tilbo {

class clsSystemInfo {
 public:
  clsSystemInfo();
  // The operating system's name and release, e.g. "Linux 6.1.0-18-amd64".
  const std::string& SystemName() const { return systemName_; }
  // The processor type (machine hardware name), e.g. "x86_64".
  const std::string& ProcessorType() const { return processorType_; }
  // Free physical memory in kilobytes (1024 bytes); 0 when unknown.
  uint64_t FreePhysicalMemoryKB() const { return freeMemoryKB_; }

 private:
  std::string systemName_ = "unknown";
  std::string processorType_ = "unknown";
  uint64_t freeMemoryKB_ = 0;
};

}  // namespace tilbo
