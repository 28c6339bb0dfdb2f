#pragma once
// Placing a finished tile into its target directory so that a reader never
// sees half a tile and a failed or interrupted run never destroys the tile
// that was there: the bytes are first copied beside the target under a
// temporary name and flushed (Stage); only then is the copy renamed over the
// target (Commit). A copy that is never committed is removed.

#include <string>

namespace tilbo {

class StagedCopy {
 public:
  StagedCopy() = default;
  ~StagedCopy() { Discard(); }
  StagedCopy(StagedCopy&& other) noexcept;
  StagedCopy& operator=(StagedCopy&& other) noexcept;
  StagedCopy(const StagedCopy&) = delete;
  StagedCopy& operator=(const StagedCopy&) = delete;

  // Copies `source` beside `target`; false (nothing left behind) when it cannot.
  bool Stage(const std::string& source, const std::string& target);
  // Renames the staged copy over the target and makes the rename durable;
  // false (the copy removed) when it cannot.
  bool Commit();
  // Removes a staged copy that was not committed.
  void Discard();

 private:
  std::string temporary_;  // the staged copy, empty when none
  std::string target_;
};

}  // namespace tilbo
