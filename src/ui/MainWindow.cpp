#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "conversion/frmConversion.h"
#include "shell/TilePlan.h"
#include "ui/ConversionWindow.h"
#include "ui/DirectoryPickerDialog.h"
#include "ui/RecordBrowserWindow.h"
#include "ui/ScreenFit.h"
#include "ui/TextBridge.h"
#include "ui/WidgetText.h"

namespace tilbo::ui {
namespace {

constexpr const char* kWindowTitle = "CTG Import";
// The check box that depends on another one sits indented under it.
constexpr int kDependentIndent = 20;
// The record browser opens this far right of the main window.
constexpr int kWindowGap = 8;

QLabel* CaptionLabel(const char* caption, QWidget* parent) { return new QLabel(QString::fromUtf8(caption), parent); }

}  // namespace

MainWindow::MainWindow(Prompter& prompter, QtEventPump& pump, CommandLine commandLine, QWidget* parent)
    : QWidget(parent), pump_(pump), main_(prompter, pump, *this, std::move(commandLine)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QString::fromUtf8(kWindowTitle));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildOriginalFrame());
  layout->addWidget(BuildNewFileFrame());
  layout->addWidget(BuildOptionsFrame());
  layout->addStretch(1);
  // The values of the first two frames start in one column.
  int captionWidth = 0;
  for (const QGridLayout* grid : {originalGrid_, newFileGrid_}) {
    for (int row = 0; row < grid->rowCount(); ++row) {
      if (QLayoutItem* item = grid->itemAtPosition(row, 0); item != nullptr && item->widget() != nullptr) {
        captionWidth = std::max(captionWidth, item->widget()->sizeHint().width());
      }
    }
  }
  originalGrid_->setColumnMinimumWidth(0, captionWidth);
  newFileGrid_->setColumnMinimumWidth(0, captionWidth);
  ConnectEvents();
  // The window as it looks before a file is chosen.
  main_.ResetMainWindow();
  Refresh();
  // A message box shows over the window's current state.
  pump_.AddView(this);
}

MainWindow::~MainWindow() {
  pump_.RemoveView(this);
  if (browserWindow_) delete browserWindow_.data();
}

QWidget* MainWindow::BuildOriginalFrame() {
  auto* frame = new QGroupBox(QStringLiteral("Original File"), this);
  frame->setObjectName(QStringLiteral("fraOriginal"));
  auto* grid = originalGrid_ = new QGridLayout(frame);
  lblFilename_ = ValueLabel(QStringLiteral("lblFilename"), frame);
  lblDirectory_ = ValueLabel(QStringLiteral("lblDirectory"), frame);
  lblTitle_ = ValueLabel(QStringLiteral("lblTitle"), frame);
  lblLatLonQuad_ = ValueLabel(QStringLiteral("lblLatLonQuad"), frame);
  lblUTMRefCorner_ = ValueLabel(QStringLiteral("lblUTMRefCorner"), frame);
  lblCellSize_ = ValueLabel(QStringLiteral("lblCellSize"), frame);
  const std::pair<const char*, QLabel*> rows[] = {
      {"Filename (Size):", lblFilename_},      {"Directory:", lblDirectory_}, {"Title:", lblTitle_},
      {"Lat/Lon Block:", lblLatLonQuad_},      {"UTM Ref. Corner:", lblUTMRefCorner_},
      {"Cell Size:", lblCellSize_}};
  int row = 0;
  for (const auto& [caption, value] : rows) {
    grid->addWidget(CaptionLabel(caption, frame), row, 0);
    grid->addWidget(value, row, 1);
    ++row;
  }
  cmdBrowse_ = new QPushButton(QStringLiteral("&Browse"), frame);
  cmdBrowse_->setObjectName(QStringLiteral("cmdBrowse"));
  grid->addWidget(cmdBrowse_, 0, 2, Qt::AlignTop);
  grid->setColumnStretch(1, 1);
  return frame;
}

QWidget* MainWindow::BuildNewFileFrame() {
  auto* frame = new QGroupBox(QStringLiteral("New File"), this);
  frame->setObjectName(QStringLiteral("fraNew"));
  auto* grid = newFileGrid_ = new QGridLayout(frame);
  lblCurFile_ = ValueLabel(QStringLiteral("lblCurFile"), frame);
  lblNewFilename_ = ValueLabel(QStringLiteral("lblNewFilename"), frame);
  grid->addWidget(CaptionLabel("File:", frame), 0, 0);
  grid->addWidget(lblCurFile_, 0, 1, 1, 2);
  grid->addWidget(CaptionLabel("Filename (Size apx.):", frame), 1, 0);
  grid->addWidget(lblNewFilename_, 1, 1, 1, 2);

  cboDirectories_ = new QComboBox(frame);
  cboDirectories_->setObjectName(QStringLiteral("cboDirectories"));
  cboDirectories_->setEditable(true);
  // The list holds the LUC directories; typing never adds to it.
  cboDirectories_->setInsertPolicy(QComboBox::NoInsert);
  cboDirectories_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cboDirectories_->setMinimumContentsLength(20);
  auto* directoryCaption = CaptionLabel("&Directory:", frame);
  directoryCaption->setBuddy(cboDirectories_);
  cmdDirectories_ = new QPushButton(QStringLiteral("..."), frame);
  cmdDirectories_->setObjectName(QStringLiteral("cmdDirectories"));
  cmdDirectories_->setToolTip(QStringLiteral("Browse Directories"));
  cmdDirectories_->setMaximumWidth(cmdDirectories_->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 3);
  grid->addWidget(directoryCaption, 2, 0);
  grid->addWidget(cboDirectories_, 2, 1);
  grid->addWidget(cmdDirectories_, 2, 2);

  txtNewTitle_ = new QLineEdit(frame);
  txtNewTitle_->setObjectName(QStringLiteral("txtNewTitle"));
  txtNewTitle_->setMaxLength(static_cast<int>(kMaxTileTitleLength));
  auto* titleCaption = CaptionLabel("&Title:", frame);
  titleCaption->setBuddy(txtNewTitle_);
  grid->addWidget(titleCaption, 3, 0);
  grid->addWidget(txtNewTitle_, 3, 1, 1, 2);

  cmdPreviousFile_ = new QPushButton(QStringLiteral("View Previous"), frame);
  cmdPreviousFile_->setObjectName(QStringLiteral("cmdPreviousFile"));
  cmdNextFile_ = new QPushButton(QStringLiteral("View Next"), frame);
  cmdNextFile_->setObjectName(QStringLiteral("cmdNextFile"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdPreviousFile_);
  buttons->addWidget(cmdNextFile_);
  grid->addLayout(buttons, 4, 0, 1, 3);
  grid->setColumnStretch(1, 1);
  return frame;
}

QWidget* MainWindow::BuildOptionsFrame() {
  auto* frame = new QGroupBox(QStringLiteral("Options and Controls"), this);
  frame->setObjectName(QStringLiteral("fraControls"));
  auto* column = new QVBoxLayout(frame);
  auto makeCheckBox = [frame](const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), frame);
    box->setObjectName(QString::fromUtf8(name));
    return box;
  };
  chkDeleteOldFile_ = makeCheckBox("chkDeleteOldFile", "D&elete old file after successful conversion.");
  chkOverwrite_ = makeCheckBox("chkOverwrite", "O&verwrite existing copies of each file if in the same directory.");
  chkUseExisting_ = makeCheckBox(
      "chkUseExisting", "Write points that cannot be placed in any of the new files to the appropriate file (slower).");
  chkCreateNew_ = makeCheckBox("chkCreateNew", "Create files if they do not exist already.");
  chkLogExcluded_ = makeCheckBox("chkLogExcluded", "&Log Excluded Points.");
  column->addWidget(chkDeleteOldFile_);
  column->addWidget(chkOverwrite_);
  column->addWidget(chkUseExisting_);
  // Indented under the option it depends on.
  auto* dependent = new QHBoxLayout;
  dependent->addSpacing(kDependentIndent);
  dependent->addWidget(chkCreateNew_);
  column->addLayout(dependent);
  column->addWidget(chkLogExcluded_);

  cmdConvert_ = new QPushButton(QStringLiteral("&Convert"), frame);
  cmdConvert_->setObjectName(QStringLiteral("cmdConvert"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdConvert_);
  column->addLayout(buttons);
  return frame;
}

void MainWindow::ConnectEvents() {
  connect(cmdBrowse_, &QPushButton::clicked, this, [this] { Handle([this] { main_.cmdBrowse_Click(); }); });
  connect(cmdNextFile_, &QPushButton::clicked, this, [this] { Handle([this] { main_.cmdNextFile_Click(); }); });
  connect(cmdPreviousFile_, &QPushButton::clicked, this,
          [this] { Handle([this] { main_.cmdPreviousFile_Click(); }); });
  connect(cmdDirectories_, &QPushButton::clicked, this,
          [this] { Handle([this] { main_.cmdDirectories_Click(); }); });
  connect(cmdConvert_, &QPushButton::clicked, this, [this] { Handle([this] { main_.cmdConvert_Click(); }); });

  // Typing and choosing from the list both change the text.
  connect(cboDirectories_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { Handle([&] { main_.cboDirectories_Change(ToPath(text)); }); });
  connect(cboDirectories_, &QComboBox::activated, this, [this](int index) {
    Handle([&] {
      main_.cboDirectories.selected = index;
      main_.cboDirectories_Change(ToPath(cboDirectories_->itemText(index)));
    });
  });
  cboDirectories_->installEventFilter(this);
  connect(txtNewTitle_, &QLineEdit::textEdited, this,
          [this](const QString& text) { Handle([&] { main_.txtNewTitle_Change(ToLatin1Bytes(text)); }); });

  connect(chkUseExisting_, &QCheckBox::clicked, this,
          [this](bool ticked) { Handle([&] { main_.chkUseExisting_Click(ticked); }); });
  const std::pair<QCheckBox*, CheckBox frmMain::*> plainOptions[] = {{chkDeleteOldFile_, &frmMain::chkDeleteOldFile},
                                                                     {chkOverwrite_, &frmMain::chkOverwrite},
                                                                     {chkCreateNew_, &frmMain::chkCreateNew},
                                                                     {chkLogExcluded_, &frmMain::chkLogExcluded}};
  for (const auto& [box, option] : plainOptions) {
    connect(box, &QCheckBox::clicked, this,
            [this, option = option](bool ticked) { Handle([&] { (main_.*option).ticked = ticked; }); });
  }
}

void MainWindow::Refresh() {
  SetLabelText(lblFilename_, FromMessageText(main_.lblFilename));
  SetLabelText(lblDirectory_, FromPath(main_.lblDirectory));
  SetLabelText(lblTitle_, FromLatin1Bytes(main_.lblTitle));
  SetLabelText(lblLatLonQuad_, FromMessageText(main_.lblLatLonQuad));
  SetLabelText(lblUTMRefCorner_, FromMessageText(main_.lblUTMRefCorner));
  SetLabelText(lblCellSize_, FromMessageText(main_.lblCellSize));
  SetLabelText(lblCurFile_, FromMessageText(main_.lblCurFile));
  SetLabelText(lblNewFilename_, FromMessageText(main_.lblNewFilename));

  {
    const QSignalBlocker block(cboDirectories_);
    QStringList items;
    for (const std::string& item : main_.cboDirectories.items) items << FromPath(item);
    QStringList shown;
    for (int i = 0; i < cboDirectories_->count(); ++i) shown << cboDirectories_->itemText(i);
    if (items != shown) {
      cboDirectories_->clear();
      cboDirectories_->addItems(items);
    }
    SetComboText(cboDirectories_, FromPath(main_.cboDirectories.text));
  }
  SetInputState(cboDirectories_, main_.cboDirectories);
  {
    const QSignalBlocker block(txtNewTitle_);
    SetLineText(txtNewTitle_, FromLatin1Bytes(main_.txtNewTitle.text));
  }
  SetInputState(txtNewTitle_, main_.txtNewTitle);

  cmdPreviousFile_->setEnabled(main_.cmdPreviousFileEnabled);
  cmdNextFile_->setEnabled(main_.cmdNextFileEnabled);
  cmdDirectories_->setEnabled(main_.cmdDirectoriesEnabled);
  cmdConvert_->setEnabled(main_.cmdConvertEnabled);
  cmdBrowse_->setDefault(main_.defaultButton == DefaultButton::Browse);
  cmdConvert_->setDefault(main_.defaultButton == DefaultButton::Convert);

  SetCheckBox(chkDeleteOldFile_, main_.chkDeleteOldFile);
  SetCheckBox(chkOverwrite_, main_.chkOverwrite);
  SetCheckBox(chkUseExisting_, main_.chkUseExisting);
  SetCheckBox(chkCreateNew_, main_.chkCreateNew);
  SetCheckBox(chkLogExcluded_, main_.chkLogExcluded);
  setEnabled(main_.enabled);
}

void MainWindow::Start() {
  adjustSize();
  WindowPlacement& placement = main_.placement;
  placement.width = frameGeometry().width();
  placement.height = frameGeometry().height();
  // Where the window opens when no position has been saved: the screen's centre.
  setFormCenter(placement, Screen());
  main_.Load();
  Refresh();
  // A position saved on a bigger screen may lie partly beyond this one.
  const QRect available = screen()->availableGeometry();
  const QRect wanted(available.topLeft() + QPoint(placement.left, placement.top), frameGeometry().size());
  const QRect fitted = FitOnScreen(wanted, available);
  resize(size() - (wanted.size() - fitted.size()));
  move(fitted.topLeft());
  show();
}

void MainWindow::CopyPlacementFromWindow() {
  WindowPlacement& placement = main_.placement;
  const QRect available = screen()->availableGeometry();
  placement.left = pos().x() - available.x();
  placement.top = pos().y() - available.y();
  placement.width = frameGeometry().width();
  placement.height = frameGeometry().height();
  placement.minimized = isMinimized();
  placement.maximized = isMaximized();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A conversion or the directory picker is still open: it must end first.
  if (modalOpen_) {
    event->ignore();
    return;
  }
  if (!unloaded_) {
    CopyPlacementFromWindow();
    main_.Unload();
    unloaded_ = true;
  }
  event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // Enter that no control used presses the button that has the focus, or
  // else the default button, as in a dialog.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button == nullptr) button = main_.defaultButton == DefaultButton::Browse ? cmdBrowse_ : cmdConvert_;
    if (button->isEnabled()) button->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cboDirectories_ && event->type() == QEvent::FocusOut &&
      static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
    Handle([this] { main_.cboDirectories_LostFocus(); });
  }
  return QWidget::eventFilter(watched, event);
}

// --- Host ---------------------------------------------------------------------

std::optional<std::string> MainWindow::ChooseSourceFile(const std::string& title, const std::string& filter,
                                                        const std::string& initialPath) {
  fileDialog.asked.push_back({title, filter, initialPath});
  if (!fileDialog.answers.empty()) {
    std::optional<std::string> answer = fileDialog.answers.front();
    fileDialog.answers.pop_front();
    return answer;
  }
  QFileDialog dialog(this, FromMessageText(title), FromPath(initialPath));
  dialog.setObjectName(QStringLiteral("cdlgBrowse"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  // The choices show their captions as given; Qt reads the patterns from
  // the hidden details (see QtNameFilters).
  dialog.setOptions(QFileDialog::HideNameFilterDetails | QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters(QtNameFilters(filter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ToPath(dialog.selectedFiles().constFirst());
}

void MainWindow::SetBusyCursor(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

ScreenGeometry MainWindow::Screen() const {
  const QRect available = screen()->availableGeometry();
  return ScreenGeometry{available.width(), available.height()};
}

void MainWindow::ShowConversionModal(frmConversion& conversion) {
  ConversionWindow window(conversion, pump_, this);
  modalOpen_ = true;
  window.exec();
  modalOpen_ = false;
}

void MainWindow::ShowDirectoryPickerModal(frmDirectories& picker) {
  DirectoryPickerDialog dialog(picker, main_.cboDirectories.text, this);
  modalOpen_ = true;
  dialog.exec();
  modalOpen_ = false;
}

void MainWindow::ShowRecordBrowser(frmBrowseRecords& browser) {
  browserWindow_ = new RecordBrowserWindow(browser, this);
  browserWindow_->adjustSize();
  // Beside the main window, where it covers nothing of it, and whole on the
  // screen. Its frame will be as thick as the main window's.
  const QSize frame = browserWindow_->size() + (frameGeometry().size() - size());
  browserWindow_->move(BesideOwner(frameGeometry(), frame, kWindowGap, screen()->availableGeometry()).topLeft());
  browserWindow_->show();
}

void MainWindow::CloseRecordBrowser() {
  if (!browserWindow_) return;
  browserWindow_->hide();
  browserWindow_->deleteLater();
  browserWindow_ = nullptr;
}

}  // namespace tilbo::ui
