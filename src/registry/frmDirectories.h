#pragma once
// The directory picker ("Browse Directories") as a logic object: the user
// picks the target directory for new tiles from a drive list (the mounted
// file-system roots, "/" first) and a directory tree; a directory that is not
// yet a LUC directory may be added to the list.

#include <string>
#include <vector>

#include "suite/Prompter.h"

namespace tilbo {

// What the picker needs of the window that opened it.
class DirectoriesOwner {
 public:
  virtual ~DirectoriesOwner() = default;
  // Reloads the owner's directory box from the LUC directory list.
  virtual void ReadDirectories() = 0;
  // Sets the text of the owner's directory box.
  virtual void SetDirectoryText(const std::string& text) = 0;
};

// The mount points of the machine's file systems that hold files, "/" first.
std::vector<std::string> MountedRoots();

class frmDirectories {
 public:
  frmDirectories(DirectoriesOwner& owner, Prompter& prompter, std::vector<std::string> drives = MountedRoots());

  // Starts on the drive list's first entry.
  void Load();
  void cmdOK_Click();
  void cmdCancel_Click() { closed = true; }
  // The drive list's selection changed to entry `index`.
  void drlbDrives_Change(int index);
  // The directory tree's path changed (the user opened a directory); false
  // when the directory cannot be read, and the path stays.
  bool dilbDirectories_Change(const std::string& path);

  // drlbDrives
  std::vector<std::string> drives;
  int selectedDrive = 0;
  // dilbDirectories: its path and the directories in it
  std::string path;
  std::vector<std::string> subdirectories;
  bool closed = false;

 private:
  // Reads the directories of `directory`; false when it cannot be read.
  bool Refresh(const std::string& directory);

  DirectoriesOwner& owner_;
  Prompter& prompter_;
};

}  // namespace tilbo
