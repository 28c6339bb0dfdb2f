#include "ctg/GzipBytes.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>

namespace tilbo {
namespace {

// Decompressed data is kept in pieces of this size: the memory held beyond
// the data is less than one piece, and no piece is ever moved.
constexpr int64_t kPieceBytes = int64_t{4} << 20;
// The worker publishes at least this often, so a read waits little.
constexpr int64_t kStepBytes = int64_t{1} << 20;
constexpr std::size_t kInputBytes = std::size_t{256} << 10;
// 15-bit window, gzip wrapper only (a raw zlib stream is not a gzip file).
constexpr int kGzipWindowBits = 15 + 16;
constexpr unsigned char kGzipId1 = 0x1f;

}  // namespace

GzipBytes::GzipBytes(int fd) : fd_(fd) {
  zsReady_ = inflateInit2(&zs_, kGzipWindowBits) == Z_OK;
  if (!zsReady_) {
    end_ = End::kNoMemory;
    return;
  }
  try {
    worker_ = std::thread(&GzipBytes::Decompress, this);
  } catch (const std::system_error&) {
    end_ = End::kNoMemory;  // no thread: no data
  }
}

GzipBytes::~GzipBytes() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  if (worker_.joinable()) worker_.join();
  if (zsReady_) inflateEnd(&zs_);
  ::close(fd_);
}

bool GzipBytes::RefillInput(End& end) {
  try {
    if (input_.empty()) input_.resize(kInputBytes);
  } catch (const std::bad_alloc&) {
    end = End::kNoMemory;
    return false;
  }
  for (;;) {
    const ssize_t n = ::read(fd_, input_.data(), input_.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      end = End::kReadError;
      return false;
    }
    zs_.next_in = input_.data();
    zs_.avail_in = static_cast<uInt>(n);
    return n > 0;
  }
}

GzipBytes::End GzipBytes::Step(char* out, int64_t room, int64_t& produced) {
  produced = 0;
  End end = End::kNotYet;
  if (zs_.avail_in == 0 && !RefillInput(end)) {
    // The file ends: cleanly only between two members.
    return end != End::kNotYet ? end : betweenMembers_ ? End::kStreamEnd : End::kCutShort;
  }
  if (betweenMembers_) {
    // Another member follows only where a gzip header starts; anything else
    // after a complete member (tape padding, say) is not data.
    if (zs_.next_in[0] != kGzipId1) return End::kStreamEnd;
    inflateReset(&zs_);
    betweenMembers_ = false;
  }
  zs_.next_out = reinterpret_cast<Bytef*>(out);
  zs_.avail_out = static_cast<uInt>(std::min(room, kStepBytes));
  const uInt before = zs_.avail_out;
  const uInt inputBefore = zs_.avail_in;
  const int result = inflate(&zs_, Z_NO_FLUSH);
  produced = before - zs_.avail_out;
  switch (result) {
    case Z_STREAM_END:
      betweenMembers_ = true;
      return End::kNotYet;
    case Z_OK:
      return End::kNotYet;
    case Z_BUF_ERROR:
      // No progress with input and room for output: the stream cannot go on.
      return zs_.avail_out == before && zs_.avail_in == inputBefore ? End::kCorrupt : End::kNotYet;
    case Z_MEM_ERROR:
      return End::kNoMemory;
    default:  // Z_DATA_ERROR, Z_NEED_DICT, Z_STREAM_ERROR
      return End::kCorrupt;
  }
}

void GzipBytes::Decompress() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_ && end_ == End::kNotYet) {
    const int64_t inPiece = size_ % kPieceBytes;
    if (inPiece == 0 && size_ == static_cast<int64_t>(pieces_.size()) * kPieceBytes) {
      if (size_ >= kMaxGzipDataBytes) {
        end_ = End::kTooLarge;
        break;
      }
      try {
        pieces_.push_back(std::unique_ptr<char[]>(new char[static_cast<std::size_t>(kPieceBytes)]));
      } catch (const std::bad_alloc&) {
        end_ = End::kNoMemory;
        break;
      }
    }
    char* out = pieces_.back().get() + inPiece;
    lock.unlock();  // bytes from size_ on are the worker's alone
    int64_t produced = 0;
    const End end = Step(out, kPieceBytes - inPiece, produced);
    lock.lock();
    size_ += produced;
    end_ = end;
    grown_.notify_all();
  }
  grown_.notify_all();
}

int64_t GzipBytes::WaitFor(int64_t wanted, std::unique_lock<std::mutex>& lock) {
  grown_.wait(lock, [&] { return size_ >= wanted || end_ != End::kNotYet; });
  return size_;
}

std::optional<int64_t> GzipBytes::Read(int64_t offset, char* out, int64_t length) {
  if (offset < 0 || length < 0) return std::nullopt;
  std::unique_lock<std::mutex> lock(mutex_);
  const int64_t wanted =
      length > std::numeric_limits<int64_t>::max() - offset ? std::numeric_limits<int64_t>::max() : offset + length;
  const int64_t count = std::clamp<int64_t>(WaitFor(wanted, lock) - offset, 0, length);
  for (int64_t done = 0; done < count;) {
    const int64_t at = offset + done;
    const int64_t inPiece = at % kPieceBytes;
    const int64_t n = std::min(count - done, kPieceBytes - inPiece);
    std::memcpy(out + done, pieces_[static_cast<std::size_t>(at / kPieceBytes)].get() + inPiece,
                static_cast<std::size_t>(n));
    done += n;
  }
  return count;
}

int64_t GzipBytes::DataLength() {
  std::unique_lock<std::mutex> lock(mutex_);
  return WaitFor(std::numeric_limits<int64_t>::max(), lock);
}

std::string GzipBytes::EndProblem() {
  const std::lock_guard<std::mutex> lock(mutex_);
  switch (end_) {
    case End::kCorrupt: return "the gzip stream is damaged";
    case End::kCutShort: return "the gzip stream is cut short";
    case End::kTooLarge: return "the decompressed content passes the limit of 2 GiB";
    case End::kReadError: return "the gzip file cannot be read to its end";
    case End::kNoMemory: return "out of memory while decompressing";
    case End::kNotYet:
    case End::kStreamEnd: break;
  }
  return {};
}

}  // namespace tilbo
