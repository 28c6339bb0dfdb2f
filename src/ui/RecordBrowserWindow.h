#pragma once
// The record browser, "Browse File Records", over the frmBrowseRecords logic
// object: one cell of the chosen CTG file at a time, with buttons to step
// through the cells and a box to go to a cell by number. Modeless, owned by
// the main window; it closes itself when its logic unloads (Close Window, or a
// file that can no longer be read).

#include <QWidget>

#include "ctg/frmBrowseRecords.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tilbo::ui {

class RecordBrowserWindow final : public QWidget {
  Q_OBJECT

 public:
  RecordBrowserWindow(frmBrowseRecords& browser, QWidget* owner);

  void Refresh();
  frmBrowseRecords& logic() { return browser_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  template <typename Handler>
  void Handle(Handler&& handler) {
    handler();
    Refresh();
  }

  frmBrowseRecords& browser_;
  QLabel *lblCellNumber_, *lblUTME_, *lblUTMN_, *lblUTMZone_, *lblUSGSLULC_;
  QLineEdit* txtRecNum_;
};

}  // namespace tilbo::ui
