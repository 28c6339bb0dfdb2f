#include "suite/RunFolder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>

#include "suite/Paths.h"
#include "suite/PosixFile.h"

namespace tilbo {
namespace {

constexpr std::string_view kPrefix = "run-";
constexpr const char* kLockName = ".lock";

// The one folder of this process and how many objects use it.
struct ProcessFolder {
  int users = 0;
  Descriptor lock;  // holds the flock while the folder is in use
  std::string path;
};
ProcessFolder gFolder;

// The process id a run folder's name carries, 0 when the name is no run folder's.
pid_t OwnerOf(std::string_view name) {
  if (!name.starts_with(kPrefix)) return 0;
  name.remove_prefix(kPrefix.size());
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
  return error == std::errc() && end == name.data() + name.size() && pid > 0 ? pid : 0;
}

bool ProcessAlive(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

std::string RunFolder::PathOfThisProcess() {
  return ProgramDirectory() + std::string(kPrefix) + std::to_string(::getpid()) + "/";
}

void RemoveEndedRunFolders(const std::string& directory) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
    const pid_t owner = OwnerOf(entry.path().filename().string());
    if (owner == 0 || owner == ::getpid() || entry.is_symlink(ec) || !entry.is_directory(ec)) continue;
    // A live process keeps its folder, even one that has not locked it yet.
    if (ProcessAlive(owner)) continue;
    // The lock decides for a run whose id means nothing here (another PID
    // namespace sharing the directory): held, it is still running.
    const std::string lockPath = (entry.path() / kLockName).string();
    const Descriptor lock = OpenFile(lockPath, O_RDWR | O_NOFOLLOW);
    if (lock.valid() && ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) continue;
    std::filesystem::remove_all(entry.path(), ec);
  }
}

RunFolder::RunFolder() {
  if (gFolder.users++ > 0) return;
  gFolder.path = PathOfThisProcess();
  RemoveEndedRunFolders(ProgramDirectory());
  struct stat info {};
  if (::mkdir(gFolder.path.c_str(), 0777) != 0 && (::lstat(gFolder.path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))) {
    return;  // no folder: creating the temporary tiles will fail and say so
  }
  gFolder.lock = OpenFile(gFolder.path + kLockName, O_RDWR | O_CREAT | O_NOFOLLOW, 0666);
  if (gFolder.lock.valid()) ::flock(gFolder.lock.get(), LOCK_EX | LOCK_NB);
}

RunFolder::~RunFolder() {
  if (--gFolder.users > 0) return;
  std::error_code ec;
  std::filesystem::remove_all(gFolder.path, ec);
  gFolder.lock = Descriptor();
}

}  // namespace tilbo
