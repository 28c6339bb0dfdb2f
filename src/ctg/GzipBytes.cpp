#include "ctg/GzipBytes.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

namespace tilbo {
namespace {

// Decompressed data is kept in pieces of this size: the memory held beyond
// the data is less than one piece, and no piece is ever moved.
constexpr int64_t kPieceBytes = int64_t{4} << 20;
constexpr std::size_t kInputBytes = std::size_t{256} << 10;
// 15-bit window, gzip wrapper only (a raw zlib stream is not a gzip file).
constexpr int kGzipWindowBits = 15 + 16;
constexpr unsigned char kGzipId1 = 0x1f;

}  // namespace

GzipBytes::GzipBytes(int fd) : fd_(fd) {
  zsReady_ = inflateInit2(&zs_, kGzipWindowBits) == Z_OK;
  if (!zsReady_) end_ = End::kNoMemory;
}

GzipBytes::~GzipBytes() {
  if (zsReady_) inflateEnd(&zs_);
  ::close(fd_);
}

bool GzipBytes::RefillInput() {
  try {
    if (input_.empty()) input_.resize(kInputBytes);
  } catch (const std::bad_alloc&) {
    end_ = End::kNoMemory;
    return false;
  }
  for (;;) {
    const ssize_t n = ::read(fd_, input_.data(), input_.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      end_ = End::kReadError;
      return false;
    }
    zs_.next_in = input_.data();
    zs_.avail_in = static_cast<uInt>(n);
    return n > 0;
  }
}

void GzipBytes::Step() {
  if (zs_.avail_in == 0 && !RefillInput()) {
    // The file ends: cleanly only between two members.
    if (end_ == End::kNotYet) end_ = betweenMembers_ ? End::kStreamEnd : End::kCutShort;
    return;
  }
  if (betweenMembers_) {
    // Another member follows only where a gzip header starts; anything else
    // after a complete member (tape padding, say) is not data.
    if (zs_.next_in[0] != kGzipId1) {
      end_ = End::kStreamEnd;
      return;
    }
    inflateReset(&zs_);
    betweenMembers_ = false;
  }
  const int64_t inPiece = size_ % kPieceBytes;
  if (inPiece == 0 && size_ == static_cast<int64_t>(pieces_.size()) * kPieceBytes) {
    if (size_ >= kMaxGzipDataBytes) {
      end_ = End::kTooLarge;
      return;
    }
    try {
      pieces_.push_back(std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(kPieceBytes)));
    } catch (const std::bad_alloc&) {
      end_ = End::kNoMemory;
      return;
    }
  }
  zs_.next_out = reinterpret_cast<Bytef*>(pieces_.back().get() + inPiece);
  zs_.avail_out = static_cast<uInt>(kPieceBytes - inPiece);
  const uInt before = zs_.avail_out;
  const uInt inputBefore = zs_.avail_in;
  const int result = inflate(&zs_, Z_NO_FLUSH);
  size_ += before - zs_.avail_out;
  switch (result) {
    case Z_STREAM_END:
      betweenMembers_ = true;
      break;
    case Z_OK:
      break;
    case Z_BUF_ERROR:
      // No progress with input and room for output: the stream cannot go on.
      if (zs_.avail_out == before && zs_.avail_in == inputBefore) end_ = End::kCorrupt;
      break;
    case Z_MEM_ERROR:
      end_ = End::kNoMemory;
      break;
    default:  // Z_DATA_ERROR, Z_NEED_DICT, Z_STREAM_ERROR
      end_ = End::kCorrupt;
      break;
  }
}

void GzipBytes::Fill(int64_t wanted) {
  while (size_ < wanted && end_ == End::kNotYet) Step();
}

std::optional<int64_t> GzipBytes::Read(int64_t offset, char* out, int64_t length) {
  if (offset < 0 || length < 0) return std::nullopt;
  Fill(length > std::numeric_limits<int64_t>::max() - offset ? std::numeric_limits<int64_t>::max() : offset + length);
  const int64_t count = std::clamp<int64_t>(size_ - offset, 0, length);
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
  Fill(std::numeric_limits<int64_t>::max());
  return size_;
}

}  // namespace tilbo
