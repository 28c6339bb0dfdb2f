#include "conversion/StagedCopy.h"

#include "suite/PosixFile.h"

namespace tilbo {

bool StagedCopy::Stage(const std::string& source, const std::string& target) {
  Discard();
  std::string bytes;
  return ReadWholeFileBytes(source, bytes) && replacement_.Begin(target) && replacement_.Write(bytes) &&
         replacement_.Finish();
}

}  // namespace tilbo
