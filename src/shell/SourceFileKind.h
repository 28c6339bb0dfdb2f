#pragma once
// What a file given as a CTG source looks like when the reader refuses it,
// told by its first bytes (never by its name): users download compressed
// archives and pick tiles by mistake, and a hint saves them a guess.

#include <string>

namespace tilbo {

enum class SourceFileKind {
  kUnknown,    // nothing easy to tell (a text file, a damaged CTG file...)
  kDirectory,
  kEmpty,
  kGzip,       // read by the reader itself: refused only when damaged or not CTG inside
  kBzip2,
  kXz,
  kZip,
  kLucTile,
};

SourceFileKind SniffSourceFileKind(const std::string& path);

// "it is bzip2-compressed; decompress it first (bunzip2)"; empty for kUnknown.
std::string SourceFileKindHint(SourceFileKind kind);

}  // namespace tilbo
