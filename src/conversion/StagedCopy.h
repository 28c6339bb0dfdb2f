#pragma once
// Placing a finished tile into its target directory so that a reader never
// sees half a tile and a failed or interrupted run never destroys the tile
// that was there: the bytes are first copied beside the target under a
// hidden temporary name and flushed (Stage); only then is the copy renamed
// over the target (Commit). A copy that is never committed is removed. The
// placed tile follows the rules of every replaced file (suite/AtomicFile.h).

#include <string>

#include "suite/AtomicFile.h"

namespace tilbo {

class StagedCopy {
 public:
  // Copies `source` beside `target`; false (nothing left behind) when it cannot.
  bool Stage(const std::string& source, const std::string& target);
  // Renames the staged copy over the target and makes the rename durable;
  // false (the copy removed) when it cannot.
  bool Commit() { return replacement_.Commit(); }
  // Removes a staged copy that was not committed.
  void Discard() { replacement_.Discard(); }

 private:
  FileReplacement replacement_;
};

}  // namespace tilbo
