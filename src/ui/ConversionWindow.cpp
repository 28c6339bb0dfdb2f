#include "ui/ConversionWindow.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/TextBridge.h"
#include "ui/WidgetText.h"

namespace tilbo::ui {
namespace {

constexpr const char* kWindowTitle = "Conversion";
// Room for the list, the status line and the directions without scrolling
// for a quadrangle's usual two or three tiles.
constexpr int kListRows = 5;
constexpr int kDirectionLines = 16;
constexpr int kWindowWidthInCharacters = 80;

}  // namespace

ConversionWindow::ConversionWindow(frmConversion& conversion, QtEventPump& pump, QWidget* parent)
    : QDialog(parent), conversion_(conversion), pump_(pump) {
  setObjectName(QStringLiteral("frmConversion"));
  setWindowTitle(QString::fromUtf8(kWindowTitle));
  auto* layout = new QVBoxLayout(this);

  auto* files = new QGroupBox(QStringLiteral("Files to Create"), this);
  files->setObjectName(QStringLiteral("fraConversion"));
  auto* filesLayout = new QVBoxLayout(files);
  lstFiles_ = new QListWidget(files);
  lstFiles_->setObjectName(QStringLiteral("lstFiles"));
  lstFiles_->setMinimumHeight(lstFiles_->fontMetrics().height() * kListRows);
  // Rows change their status text while the copy runs; equal heights spare
  // the list a new layout each time.
  lstFiles_->setUniformItemSizes(true);
  lblCurrentAction_ = ValueLabel(QStringLiteral("lblCurrentAction"), files);
  pbProgress_ = new QProgressBar(files);
  pbProgress_->setObjectName(QStringLiteral("pbProgress"));
  filesLayout->addWidget(lstFiles_);
  filesLayout->addWidget(lblCurrentAction_);
  filesLayout->addWidget(pbProgress_);
  layout->addWidget(files);

  auto* directions = new QGroupBox(QStringLiteral("Directions"), this);
  directions->setObjectName(QStringLiteral("fraDirections"));
  auto* directionsLayout = new QVBoxLayout(directions);
  txtDirections_ = new QPlainTextEdit(directions);
  txtDirections_->setObjectName(QStringLiteral("txtDirections"));
  txtDirections_->setReadOnly(true);
  txtDirections_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  txtDirections_->setMinimumHeight(txtDirections_->fontMetrics().lineSpacing() * kDirectionLines);
  directionsLayout->addWidget(txtDirections_);
  layout->addWidget(directions, 1);

  cmdCommand_ = new QPushButton(this);
  cmdCommand_->setObjectName(QStringLiteral("cmdCommand"));
  cmdCommand_->setDefault(true);
  // The button keeps one width through its three captions.
  int commandWidth = 0;
  for (const char* caption : {"&Begin", "&Cancel", "&Close Window"}) {
    cmdCommand_->setText(QString::fromUtf8(caption));
    commandWidth = std::max(commandWidth, cmdCommand_->sizeHint().width());
  }
  cmdCommand_->setMinimumWidth(commandWidth);
  cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel_->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdCommand_);
  buttons->addWidget(cmdCancel_);
  layout->addLayout(buttons);
  setMinimumWidth(fontMetrics().averageCharWidth() * kWindowWidthInCharacters);

  connect(cmdCommand_, &QPushButton::clicked, this, [this] {
    conversion_.RunConversion();
    Refresh();
    CloseIfDone();
  });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] {
    conversion_.cmdCancel_Click();
    CloseIfDone();
  });
  connect(lstFiles_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    conversion_.lstFiles_Tick(lstFiles_->row(item), item->checkState() == Qt::Checked);
  });
  connect(lstFiles_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    conversion_.lstFiles_DblClick(lstFiles_->row(item));
    Refresh();
  });

  Refresh();
  pump_.AddView(this);
}

ConversionWindow::~ConversionWindow() { pump_.RemoveView(this); }

void ConversionWindow::RefreshList() {
  const QSignalBlocker block(lstFiles_);
  const auto& rows = conversion_.lstFiles;
  if (lstFiles_->count() != static_cast<int>(rows.size())) {
    lstFiles_->clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      auto* item = new QListWidgetItem(lstFiles_);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
      // An item without a check state shows no check box, even when checkable.
      item->setCheckState(Qt::Unchecked);
    }
  }
  for (int i = 0; i < lstFiles_->count(); ++i) {
    QListWidgetItem* item = lstFiles_->item(i);
    const FileListRow& row = rows[static_cast<std::size_t>(i)];
    const QString text = FromMessageText(row.text);
    if (item->text() != text) item->setText(text);
    const Qt::CheckState state = row.ticked ? Qt::Checked : Qt::Unchecked;
    if (item->checkState() != state) item->setCheckState(state);
  }
}

void ConversionWindow::Refresh() {
  RefreshList();
  SetLabelText(lblCurrentAction_, FromMessageText(conversion_.lblCurrentAction));
  // A bar without a maximum would show Qt's busy animation; before the run it
  // simply stands empty.
  const int maximum = std::max(conversion_.pbMax, 1);
  if (pbProgress_->maximum() != maximum) pbProgress_->setRange(0, maximum);
  const int value = std::clamp(conversion_.pbValue, 0, maximum);
  if (pbProgress_->value() != value) {
    // QProgressBar repaints at once on a new value; held back, the bar is
    // painted with the rest of the window in one pass when events run.
    pbProgress_->setUpdatesEnabled(false);
    pbProgress_->setValue(value);
    pbProgress_->setUpdatesEnabled(true);
  }
  const QString directions = FromMessageText(conversion_.txtDirections);
  if (txtDirections_->toPlainText() != directions) txtDirections_->setPlainText(directions);
  const QString caption = FromMessageText(conversion_.cmdCommandCaption);
  if (cmdCommand_->text() != caption) cmdCommand_->setText(caption);
  cmdCommand_->setEnabled(conversion_.cmdCommandEnabled);
  cmdCancel_->setVisible(conversion_.cmdCancelVisible);
}

void ConversionWindow::CloseIfDone() {
  if (conversion_.closed) done(QDialog::Accepted);
}

void ConversionWindow::reject() {
  if (!conversion_.Started) {
    conversion_.cmdCancel_Click();
  } else if (conversion_.cmdCommandEnabled) {
    // During the run this is a cancel request; the copy asks for confirmation.
    conversion_.RunConversion();
  }
  Refresh();
  CloseIfDone();
}

}  // namespace tilbo::ui
