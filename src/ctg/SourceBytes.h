#pragma once
// The bytes of a CTG source as the reader sees them. USGS ships its files
// gzip-compressed (grid_cell.gz), so a source is either a plain file, read
// where asked, or a gzip file, whose decompressed content is the data. The
// kind is told by the file's first bytes, never by its name.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tilbo {

class SourceBytes {
 public:
  virtual ~SourceBytes() = default;
  // Copies up to `length` bytes of the data from `offset` into `out`: the
  // count copied, less than `length` at the end of the data; nothing when the
  // read fails.
  virtual std::optional<int64_t> Read(int64_t offset, char* out, int64_t length) = 0;
  // The length of the data: the file's length, or the decompressed length of
  // a gzip file (which is decompressed to its end to know it).
  virtual int64_t DataLength() = 0;
  // The data is the decompressed content of a gzip file.
  virtual bool Compressed() const = 0;
  // Why the data ends before the file's content does ("the gzip stream is
  // damaged"), once it has; empty when it ends where the content ends.
  virtual std::string EndProblem() { return {}; }
};

// Whether bytes begin as a gzip stream does (its two identification bytes).
bool StartsAsGzip(const unsigned char* bytes, std::size_t size);

// The source over an open descriptor (taken over, closed by the source) of a
// regular file of `fileBytes` bytes on disk; nothing when its first bytes
// cannot be read.
std::unique_ptr<SourceBytes> OpenSourceBytes(int fd, int64_t fileBytes);

}  // namespace tilbo
