#pragma once
// The main window, "CTG Import": three frames top to bottom (Original File,
// New File, Options and Controls) over the frmMain logic object. The widgets
// carry the logic's control names as object names (cmdBrowse, cboDirectories,
// chkUseExisting, ...). Every user event goes to the logic's handler and the
// widgets are then refreshed from the logic's state.
//
// The window is also the logic's host: the open-file dialog, the busy cursor,
// the screen, and the three other windows (conversion and directory picker
// modal, record browser modeless).

#include <QPointer>
#include <QWidget>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "shell/frmMain.h"
#include "ui/QtEventPump.h"
#include "ui/QtPrompter.h"
#include "ui/RecordBrowserWindow.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tilbo::ui {

// Test seam of the open-file dialog: while answers are queued, the dialog is
// not shown and the next answer (a path, or nothing for Cancel) is returned.
struct FileDialogScript {
  struct Asked {
    std::string title, filter, initialPath;
  };
  std::deque<std::optional<std::string>> answers;
  std::vector<Asked> asked;
};

class MainWindow final : public QWidget, public MainWindowHost, public RefreshableView {
  Q_OBJECT

 public:
  MainWindow(Prompter& prompter, QtEventPump& pump, CommandLine commandLine, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The load step (settings, saved position, LUC directory list), then the
  // window is shown where it was left.
  void Start();
  void Refresh() override;

  frmMain& logic() { return main_; }
  // The record browser's window while one is open.
  RecordBrowserWindow* recordBrowserWindow() const { return browserWindow_; }

  FileDialogScript fileDialog;

  // MainWindowHost
  std::optional<std::string> ChooseSourceFile(const std::string& title, const std::string& filter,
                                              const std::string& initialPath) override;
  void SetBusyCursor(bool busy) override;
  ScreenGeometry Screen() const override;
  void ShowConversionModal(frmConversion& conversion) override;
  void ShowRecordBrowser(frmBrowseRecords& browser) override;
  void CloseRecordBrowser() override;
  void ShowDirectoryPickerModal(frmDirectories& picker) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildOriginalFrame();
  QWidget* BuildNewFileFrame();
  QWidget* BuildOptionsFrame();
  void ConnectEvents();
  // Runs a handler of the logic, then shows its new state.
  template <typename Handler>
  void Handle(Handler&& handler) {
    handler();
    Refresh();
  }
  void CopyPlacementFromWindow();

  QtEventPump& pump_;
  frmMain main_;
  QPointer<RecordBrowserWindow> browserWindow_;
  bool modalOpen_ = false;
  bool unloaded_ = false;

  QGridLayout *originalGrid_, *newFileGrid_;
  // Original File
  QLabel *lblFilename_, *lblDirectory_, *lblTitle_, *lblLatLonQuad_, *lblUTMRefCorner_, *lblCellSize_;
  QPushButton* cmdBrowse_;
  // New File
  QLabel *lblCurFile_, *lblNewFilename_;
  QComboBox* cboDirectories_;
  QPushButton* cmdDirectories_;
  QLineEdit* txtNewTitle_;
  QPushButton *cmdPreviousFile_, *cmdNextFile_;
  // Options and Controls
  QCheckBox *chkDeleteOldFile_, *chkOverwrite_, *chkUseExisting_, *chkCreateNew_, *chkLogExcluded_;
  QPushButton* cmdConvert_;
};

}  // namespace tilbo::ui
