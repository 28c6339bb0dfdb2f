#pragma once
// The decompressed content of a gzip file as a CTG source. A worker thread
// decompresses the stream (with zlib) from the open on, ahead of the reads,
// which wait for the bytes they need; the content is kept in memory in pieces
// allocated as data actually arrives: the size the gzip trailer claims is
// never trusted. Members of a concatenated stream follow one another. When
// the stream is corrupt or cut short, or passes kMaxGzipDataBytes, the data is
// what was decompressed before that point, as a file cut short.

#include <zlib.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
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
  std::string EndProblem() override;

  // Why the data ended, once it has.
  enum class End { kNotYet, kStreamEnd, kCorrupt, kCutShort, kTooLarge, kReadError, kNoMemory };

 private:
  // Waits until `wanted` bytes are there or the data has ended; the bytes there.
  int64_t WaitFor(int64_t wanted, std::unique_lock<std::mutex>& lock);
  void Decompress();  // the worker
  // One round of inflating into the last piece; the end reason when the data ends.
  End Step(char* out, int64_t room, int64_t& produced);
  bool RefillInput(End& end);  // false at the end of the file or on a read failure

  int fd_;
  z_stream zs_{};  // the worker's alone, as are the two below
  bool zsReady_ = false;
  bool betweenMembers_ = false;  // a member has ended; another may follow
  std::vector<unsigned char> input_;

  std::mutex mutex_;  // guards what follows
  std::condition_variable grown_;
  std::vector<std::unique_ptr<char[]>> pieces_;  // bytes below size_ are never written again
  int64_t size_ = 0;  // bytes decompressed so far
  End end_ = End::kNotYet;
  bool stop_ = false;
  std::thread worker_;  // last: started when everything else is ready
};

}  // namespace tilbo
