#pragma once
// The conversion window over the frmConversion logic object: the planned
// tiles with their check boxes and status, the status line, the progress bar,
// the directions, and the command button (Begin, Cancel, Close Window) with
// the Cancel button beside it before the run. Modal to the main window.
//
// During the run the logic pumps events through the QtEventPump, which
// refreshes this window from the logic; a press on the command button then
// only asks the running copy to stop.

#include <QDialog>

#include "conversion/frmConversion.h"
#include "ui/QtEventPump.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace tilbo::ui {

class ConversionWindow final : public QDialog, public RefreshableView {
  Q_OBJECT

 public:
  ConversionWindow(frmConversion& conversion, QtEventPump& pump, QWidget* parent = nullptr);
  ~ConversionWindow() override;

  void Refresh() override;
  frmConversion& logic() { return conversion_; }

 public slots:
  // Escape and the title bar's close button: what the visible button would
  // do (Cancel before the run, a cancel request during it, Close after it).
  void reject() override;

 private:
  void RefreshList();
  void CloseIfDone();

  frmConversion& conversion_;
  QtEventPump& pump_;
  QListWidget* lstFiles_;
  QLabel* lblCurrentAction_;
  QProgressBar* pbProgress_;
  QPlainTextEdit* txtDirections_;
  QPushButton* cmdCommand_;
  QPushButton* cmdCancel_;
};

}  // namespace tilbo::ui
