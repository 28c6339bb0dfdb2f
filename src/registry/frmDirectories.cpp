#include "registry/frmDirectories.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "registry/LULCRetrievalAndRegistry.h"
#include "suite/Version.h"

namespace tilbo {
namespace {

std::string WithSlash(const std::string& p) { return !p.empty() && p.back() == '/' ? p : p + "/"; }

// Mount-table paths escape blanks and a few other bytes as octal (\040).
std::string UnescapeMountPath(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size()) {
      const std::string octal = text.substr(i + 1, 3);
      if (octal.size() == 3 && std::all_of(octal.begin(), octal.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        out.push_back(static_cast<char>(std::stoi(octal, nullptr, 8)));
        i += 3;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace

std::vector<std::string> MountedRoots() {
  // File systems that hold no user files.
  static const std::set<std::string> kVirtual = {
      "proc",   "sysfs",   "devpts",  "devtmpfs", "cgroup",     "cgroup2",     "mqueue", "debugfs",
      "tracefs", "securityfs", "pstore", "bpf",  "hugetlbfs", "configfs", "fusectl", "autofs",
      "binfmt_misc", "nsfs", "rpc_pipefs", "efivarfs", "selinuxfs", "overlay_internal"};
  std::vector<std::string> roots{"/"};
  std::ifstream mounts("/proc/self/mounts");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint, type;
    if (!(fields >> device >> mountPoint >> type) || kVirtual.count(type) != 0) continue;
    mountPoint = UnescapeMountPath(mountPoint);
    if (mountPoint.rfind("/proc", 0) == 0 || mountPoint.rfind("/sys", 0) == 0 || mountPoint.rfind("/dev", 0) == 0) {
      continue;
    }
    if (std::find(roots.begin(), roots.end(), mountPoint) == roots.end()) roots.push_back(mountPoint);
  }
  std::sort(roots.begin() + 1, roots.end());
  return roots;
}

frmDirectories::frmDirectories(DirectoriesOwner& owner, Prompter& prompter, std::vector<std::string> drives)
    : drives(std::move(drives)), owner_(owner), prompter_(prompter) {}

void frmDirectories::Load() {
  if (!drives.empty()) drlbDrives_Change(0);
}

bool frmDirectories::Refresh(const std::string& directory) {
  std::error_code ec;
  std::filesystem::directory_iterator it(directory, ec);
  if (ec) return false;
  std::vector<std::string> names;
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::error_code typeError;
    if (it->is_directory(typeError)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  path = directory;
  subdirectories = std::move(names);
  return true;
}

bool frmDirectories::dilbDirectories_Change(const std::string& newPath) { return Refresh(newPath); }

void frmDirectories::drlbDrives_Change(int index) {
  for (;;) {
    if (index < 0 || index >= static_cast<int>(drives.size())) return;
    selectedDrive = index;
    if (Refresh(WithSlash(drives[static_cast<std::size_t>(index)]))) return;
    // The drive cannot be read: the list falls back to its first entry.
    selectedDrive = 0;
    const Reply reply = prompter_.Ask(MessageIcon::Critical,
                                      "The drive you selected could not be accessed.  Would you like the program to "
                                      "try to access it again?",
                                      kProgramTitle, Reply::Yes);
    if (reply == Reply::No) return;
    index = selectedDrive;
  }
}

void frmDirectories::cmdOK_Click() {
  const std::string picked = WithSlash(path);
  LRR_ReadDirectories();
  if (LRR_LastError() == kLRRNoError) {
    bool listed = false;
    for (int16_t i = 1; i <= LRR_GetDirectoryCount(); ++i) listed = listed || LRR_GetDirectory(i) == picked;
    if (!listed) {
      const Reply reply = prompter_.Ask(MessageIcon::Question,
                                        "The directory you selected, " + picked +
                                            ", is not one of the directories that GAV will search in for LUC "
                                            "files.\r\n\r\nWould you like to add this directory to that list now?",
                                        kProgramTitle, Reply::Yes);
      if (reply == Reply::Yes) {
        LRR_AddDirectory(path);
        LRR_SaveDirectories();
      }
    }
    LRR_ReleaseDirectories();
    owner_.ReadDirectories();
  }
  owner_.SetDirectoryText(path);
  closed = true;
}

}  // namespace tilbo
