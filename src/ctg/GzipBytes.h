#pragma once
// The decompressed content of a gzip file as a CTG source. The content is
// decompressed (with zlib) only as far as reads reach, and kept in memory in
// pieces allocated as data actually arrives: the size the gzip trailer claims
// is never trusted. Members of a concatenated stream follow one another.
// When the stream is corrupt or cut short, or passes kMaxGzipDataBytes, the
// data is what was decompressed before that point, as a file cut short.

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "ctg/SourceBytes.h"

namespace tilbo {

// No real quadrangle comes near this (a 1:250,000 sheet at 200 m is about
// 35 MB); it keeps a hostile stream from exhausting memory.
inline constexpr int64_t kMaxGzipDataBytes = int64_t{2} << 30;  // 2 GiB

class GzipBytes final : public SourceBytes {
 public:
  explicit GzipBytes(int fd);  // takes the descriptor over
  ~GzipBytes() override;
  GzipBytes(const GzipBytes&) = delete;
  GzipBytes& operator=(const GzipBytes&) = delete;

  std::optional<int64_t> Read(int64_t offset, char* out, int64_t length) override;
  int64_t DataLength() override;
  bool Compressed() const override { return true; }

  // Why the data ended, once it has.
  enum class End { kNotYet, kStreamEnd, kCorrupt, kCutShort, kTooLarge, kReadError, kNoMemory };
  End EndReason() const { return end_; }

 private:
  // Decompresses until `wanted` bytes are there or the data has ended.
  void Fill(int64_t wanted);
  // One round of inflating; sets end_ when the data ends.
  void Step();
  bool RefillInput();  // false at the end of the file (or a read failure, recorded in end_)

  int fd_;
  z_stream zs_{};
  bool zsReady_ = false;
  bool betweenMembers_ = false;  // a member has ended; another may follow
  std::vector<unsigned char> input_;
  std::vector<std::unique_ptr<char[]>> pieces_;
  int64_t size_ = 0;  // bytes decompressed so far
  End end_ = End::kNotYet;
};

}  // namespace tilbo
