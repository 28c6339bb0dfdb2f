#include "shell/SourceFileKind.h"

#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "ctg/SourceBytes.h"
#include "luc/LucFileLayout.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {

struct Magic {
  std::string_view bytes;
  SourceFileKind kind;
};

constexpr Magic kMagics[] = {
    {"BZh", SourceFileKind::kBzip2},
    {std::string_view("\xfd" "7zXZ\0", 6), SourceFileKind::kXz},
    {"PK\x03\x04", SourceFileKind::kZip},
    {"PK\x05\x06", SourceFileKind::kZip},  // an empty archive
};

}  // namespace

SourceFileKind SniffSourceFileKind(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (std::filesystem::is_directory(status)) return SourceFileKind::kDirectory;
  // Only regular files are looked into (opening a pipe would wait for a writer).
  if (!std::filesystem::is_regular_file(status)) return SourceFileKind::kUnknown;
  if (std::filesystem::file_size(path, ec) == 0 && !ec) return SourceFileKind::kEmpty;
  std::ifstream in(path, std::ios::binary);
  std::string start(static_cast<std::size_t>(lucfile::kSignatureSize), '\0');
  in.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(in.gcount()));
  if (EqualsIgnoreCase(start, lucfile::kSignature)) return SourceFileKind::kLucTile;
  // Told as the reader tells it.
  if (StartsAsGzip(reinterpret_cast<const unsigned char*>(start.data()), start.size())) {
    return SourceFileKind::kGzip;
  }
  for (const Magic& m : kMagics) {
    if (std::string_view(start).starts_with(m.bytes)) return m.kind;
  }
  return SourceFileKind::kUnknown;
}

std::string SourceFileKindHint(SourceFileKind kind) {
  switch (kind) {
    case SourceFileKind::kDirectory: return "it is a directory, not a file";
    case SourceFileKind::kEmpty: return "it is an empty file";
    case SourceFileKind::kGzip:
      return "it is gzip-compressed, but its content is not a CTG file or the stream is damaged";
    case SourceFileKind::kBzip2: return "it is bzip2-compressed; decompress it first (bunzip2)";
    case SourceFileKind::kXz: return "it is xz-compressed; decompress it first (unxz)";
    case SourceFileKind::kZip: return "it is a zip archive; extract the CTG file from it first (unzip)";
    case SourceFileKind::kLucTile: return "it is a LUC tile (an output of the conversion), not a CTG source";
    case SourceFileKind::kUnknown: break;
  }
  return {};
}

}  // namespace tilbo
