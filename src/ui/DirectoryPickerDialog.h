#pragma once
// The directory picker, "Browse Directories", over the frmDirectories logic
// object: a drive list (the mounted file-system roots) and a directory tree
// showing the open directory's ancestors from the drive's root down, then the
// directories in it. Activating a directory (double-click or Enter) opens it;
// OK takes the open directory. Modal to the main window.

#include <QDialog>
#include <string>
#include <vector>

#include "registry/frmDirectories.h"

class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace tilbo::ui {

class DirectoryPickerDialog final : public QDialog {
  Q_OBJECT

 public:
  DirectoryPickerDialog(frmDirectories& picker, QWidget* parent = nullptr);

  void Refresh();
  frmDirectories& logic() { return picker_; }

  // The tree entry for `path` (as the tree names it: no trailing "/" except
  // for "/"), or nullptr.
  QTreeWidgetItem* ItemFor(const QString& path) const;

 public slots:
  void reject() override;

 private:
  void RefreshTree();
  void CloseIfDone();

  frmDirectories& picker_;
  QComboBox* drlbDrives_;
  QLabel* lblPath_;
  QTreeWidget* dilbDirectories_;
  std::string shownPath_;
  std::vector<std::string> shownSubdirectories_;
};

}  // namespace tilbo::ui
