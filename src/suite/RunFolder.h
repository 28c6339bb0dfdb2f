#pragma once
// A run's private folder in the program's directory, "run-<pid>/", where the
// run keeps its temporary tiles ("L07144NW.LUC NEW"): runs that share the
// directory (a collection converted with xargs -P) never meet on a temporary
// name. While a run uses its folder it holds an flock on the folder's ".lock"
// file. A folder whose process is gone and whose lock nobody holds is what a
// killed run left behind; the next run to take its own folder removes it.

#include <string>

namespace tilbo {

class RunFolder {
 public:
  // Takes this process's folder (created, or adopted when it is there
  // already), and removes the folders of runs that have ended. Several
  // objects in one process share the folder; the last one to go removes it.
  RunFolder();
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  // The folder of this process, ending in "/" (whether or not it exists).
  static std::string PathOfThisProcess();
};

// Removes, from `directory`, the run folders of processes that have ended.
void RemoveEndedRunFolders(const std::string& directory);

}  // namespace tilbo
