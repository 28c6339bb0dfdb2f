#pragma once
// Whole-file replacement that never leaves a half-written file: the new bytes
// go to a hidden temporary file in the same directory, are flushed to disk,
// and the temporary file is renamed over the target; then the directory is
// flushed. A failure at any step leaves the old file as it was.
//
// The rules, the same for every file the program writes: a file that may not
// be written (WriteProtected) is refused with EACCES; an existing file keeps
// its owner and permission bits (when its owner cannot be kept the write is
// refused with EPERM); a new one gets 0666 less the umask; a symbolic link
// stays a link and its target is replaced (or created, for a dangling link).

#include <sys/types.h>

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "suite/PosixFile.h"

namespace tilbo {

// One replacement in steps, for a writer that produces its bytes piece by
// piece or must place several files together: Begin, Write, Finish (the new
// contents are complete on disk), Commit (the rename). Ended without a
// Commit, it removes its temporary file and the target stays as it was.
class FileReplacement {
 public:
  FileReplacement() = default;
  ~FileReplacement() { Discard(); }
  FileReplacement(FileReplacement&& other) noexcept;
  FileReplacement& operator=(FileReplacement&& other) noexcept;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Checks that `path` may be replaced and creates the temporary file beside
  // the file it names; false with errno set.
  bool Begin(const std::string& path);
  bool Write(std::string_view bytes);
  // Gives the new file its owner and mode and flushes it to disk.
  bool Finish();
  // Finishes if need be, renames the new file over the target and makes the
  // rename durable.
  bool Commit();
  // Drops the new file; a no-op once committed. Keeps errno.
  void Discard();

 private:
  std::string target_;     // the file replaced, links followed
  std::string temporary_;  // the new file, empty when none
  Descriptor out_;         // open until Finish
  bool existed_ = false;
  uid_t owner_ = 0;
  gid_t group_ = 0;
  mode_t mode_ = 0;
};

// Replaces (or creates) the file at `path` with `bytes`, or with the pieces
// one after the other. On failure returns false with errno set.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);
bool ReplaceFileAtomically(const std::string& path,
                           std::initializer_list<std::span<const unsigned char>> pieces);

// Whether an existing file at the path (links followed) may not be written:
// the user has no write permission, or its owner has no write bit. The second
// test is what makes "read-only" hold for root too, who may write any file:
// a file whose owner took away his own write bit (chmod a-w) was marked
// read-only on purpose, and a writer must respect that.
bool WriteProtected(const std::string& path);

// The file a path names once symbolic links are followed; for a dangling link
// the path its last link points to (so that writing creates the target); the
// path itself when it is no link.
std::string FollowSymlinks(const std::string& path);

}  // namespace tilbo
