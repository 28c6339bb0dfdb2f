#pragma once
// Whole-file replacement that never leaves a half-written file: the new bytes
// go to a temporary file in the same directory, are flushed to disk, and the
// temporary file is renamed over the target; then the directory is flushed.
// A failure at any step leaves the old file as it was.

#include <string>
#include <string_view>

namespace tilbo {

// Replaces (or creates) the file at `path` with `bytes`. A file that may not
// be written (WriteProtected) is refused with EACCES and left as it was. An
// existing file keeps its owner and permission bits (when its owner cannot be
// kept the write is refused with EPERM); a new one gets 0666 less the umask.
// A symbolic link stays a link: its target is replaced (or created). On
// failure returns false with errno set, and removes the temporary file.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Whether an existing file at the path (links followed) may not be written:
// the user has no write permission, or its owner has no write bit. The second
// test is what makes "read-only" hold for root too, who may write any file:
// a file whose owner took away his own write bit (chmod a-w) was marked
// read-only on purpose, and a settings writer must respect that.
bool WriteProtected(const std::string& path);

// The file a path names once symbolic links are followed; for a dangling link
// the path its last link points to (so that writing creates the target); the
// path itself when it is no link.
std::string FollowSymlinks(const std::string& path);

// Reads a whole file. False when it cannot be opened or read (errno set);
// a missing file is reported as such through errno == ENOENT.
bool ReadWholeFileBytes(const std::string& path, std::string& bytes);

}  // namespace tilbo
