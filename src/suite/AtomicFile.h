#pragma once
// Whole-file replacement that never leaves a half-written file: the new bytes
// go to a temporary file in the same directory, are flushed to disk, and the
// temporary file is renamed over the target; then the directory is flushed.
// A failure at any step leaves the old file as it was.

#include <string>
#include <string_view>

namespace tilbo {

// Replaces (or creates) the file at `path` with `bytes`. An existing file keeps
// its permission bits; a new one gets 0666 less the umask. A symbolic link is
// followed and its target replaced. On failure returns false with errno set,
// and removes the temporary file.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// The file a path names once symbolic links are followed (the path itself
// when it is no link or the link is dangling).
std::string FollowSymlinks(const std::string& path);

// Reads a whole file. False when it cannot be opened or read (errno set);
// a missing file is reported as such through errno == ENOENT.
bool ReadWholeFileBytes(const std::string& path, std::string& bytes);

}  // namespace tilbo
