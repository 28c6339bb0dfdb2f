#pragma once
// The directory picker, "Browse Directories", over the frmDirectories logic
// object: a drive list (the mounted file-system roots) and a directory tree
// from the drive's root down. It opens on the tile's directory (the working
// directory when that does not exist), shown and selected. The directory
// selected in the tree is the picked one, so OK takes what the user sees
// highlighted; selecting a directory lists the directories in it, and the
// arrow keys move, expand and collapse as in any tree. Modal to the main
// window.

#include <QDialog>
#include <QString>
#include <string>

#include "registry/frmDirectories.h"

class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace tilbo::ui {

class DirectoryPickerDialog final : public QDialog {
  Q_OBJECT

 public:
  DirectoryPickerDialog(frmDirectories& picker, const std::string& startDirectory, QWidget* parent = nullptr);

  void Refresh();
  frmDirectories& logic() { return picker_; }

  // The tree entry for `path` (as the tree names it: no trailing "/" except
  // for "/"), or nullptr.
  QTreeWidgetItem* ItemFor(const QString& path) const;

 public slots:
  void reject() override;

 private:
  void OpenOn(const std::string& directory);
  void RefreshTree();
  // The entry for `path` and its ancestors' entries from the root down.
  QTreeWidgetItem* EnsureItem(const QString& path);
  void CloseIfDone();

  frmDirectories& picker_;
  QComboBox* drlbDrives_;
  QLabel* lblPath_;
  QTreeWidget* dilbDirectories_;
  QString root_;  // the tree's root: the selected drive
};

}  // namespace tilbo::ui
