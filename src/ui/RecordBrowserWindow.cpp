#include "ui/RecordBrowserWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/TextBridge.h"
#include "ui/WidgetText.h"

namespace tilbo::ui {
namespace {

constexpr const char* kWindowTitle = "Browse File Records";
// The longest land-use descriptions take two lines of this width.
constexpr int kValueWidthInCharacters = 50;
constexpr int kDescriptionLines = 2;
constexpr int kRecNumWidthInCharacters = 10;

}  // namespace

RecordBrowserWindow::RecordBrowserWindow(frmBrowseRecords& browser, QWidget* owner)
    : QWidget(owner, Qt::Window), browser_(browser) {
  setObjectName(QStringLiteral("frmBrowseRecords"));
  setWindowTitle(QString::fromUtf8(kWindowTitle));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);

  auto* frame = new QGroupBox(QStringLiteral("Records"), this);
  frame->setObjectName(QStringLiteral("fraRecord"));
  auto* grid = new QGridLayout(frame);
  lblCellNumber_ = ValueLabel(QStringLiteral("lblCellNumber"), frame);
  lblUTME_ = ValueLabel(QStringLiteral("lblUTME"), frame);
  lblUTMN_ = ValueLabel(QStringLiteral("lblUTMN"), frame);
  lblUTMZone_ = ValueLabel(QStringLiteral("lblUTMZone"), frame);
  lblUSGSLULC_ = ValueLabel(QStringLiteral("lblUSGSLULC"), frame);
  lblUSGSLULC_->setWordWrap(true);
  lblUSGSLULC_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblUSGSLULC_->setMinimumWidth(fontMetrics().averageCharWidth() * kValueWidthInCharacters);
  lblUSGSLULC_->setMinimumHeight(fontMetrics().lineSpacing() * kDescriptionLines);
  const std::pair<const char*, QLabel*> rows[] = {{"Cell Number:", lblCellNumber_},
                                                  {"UTM Easting:", lblUTME_},
                                                  {"UTM Northing:", lblUTMN_},
                                                  {"UTM Zone:", lblUTMZone_},
                                                  {"USGS LULC Code:", lblUSGSLULC_}};
  int row = 0;
  for (const auto& [caption, value] : rows) {
    grid->addWidget(new QLabel(QString::fromUtf8(caption), frame), row, 0, Qt::AlignTop);
    grid->addWidget(value, row, 1);
    ++row;
  }
  grid->setColumnStretch(1, 1);
  layout->addWidget(frame);

  auto makeButton = [this](const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(QString::fromUtf8(name));
    return button;
  };
  txtRecNum_ = new QLineEdit(this);
  txtRecNum_->setObjectName(QStringLiteral("txtRecNum"));
  txtRecNum_->setMaximumWidth(fontMetrics().averageCharWidth() * kRecNumWidthInCharacters);
  QPushButton* cmdGo = makeButton("cmdGo", "&Go!");
  QPushButton* cmdFirstRecord = makeButton("cmdFirstRecord", "<<");
  QPushButton* cmdPrev = makeButton("cmdPrev", "<");
  QPushButton* cmdNext = makeButton("cmdNext", ">");
  QPushButton* cmdEnd = makeButton("cmdEnd", ">>");
  QPushButton* cmdCloseWindow = makeButton("cmdCloseWindow", "&Close Window");
  for (QPushButton* narrow : {cmdFirstRecord, cmdPrev, cmdNext, cmdEnd}) {
    narrow->setMaximumWidth(narrow->sizeHint().height() * 2);
  }

  auto* navigation = new QHBoxLayout;
  navigation->addWidget(txtRecNum_);
  navigation->addWidget(cmdGo);
  navigation->addStretch(1);
  navigation->addWidget(cmdFirstRecord);
  navigation->addWidget(cmdPrev);
  navigation->addWidget(cmdNext);
  navigation->addWidget(cmdEnd);
  layout->addLayout(navigation);
  auto* closeRow = new QHBoxLayout;
  closeRow->addStretch(1);
  closeRow->addWidget(cmdCloseWindow);
  layout->addLayout(closeRow);

  connect(cmdFirstRecord, &QPushButton::clicked, this, [this] { Handle([this] { browser_.cmdFirstRecord_Click(); }); });
  connect(cmdPrev, &QPushButton::clicked, this, [this] { Handle([this] { browser_.cmdPrev_Click(); }); });
  connect(cmdNext, &QPushButton::clicked, this, [this] { Handle([this] { browser_.cmdNext_Click(); }); });
  connect(cmdEnd, &QPushButton::clicked, this, [this] { Handle([this] { browser_.cmdEnd_Click(); }); });
  connect(cmdGo, &QPushButton::clicked, this, [this] { Handle([this] { browser_.cmdGo_Click(); }); });
  // Enter in the cell-number box goes there.
  connect(txtRecNum_, &QLineEdit::returnPressed, cmdGo, &QPushButton::click);
  connect(cmdCloseWindow, &QPushButton::clicked, this,
          [this] { Handle([this] { browser_.cmdCloseWindow_Click(); }); });
  connect(txtRecNum_, &QLineEdit::textEdited, this,
          [this](const QString& text) { browser_.txtRecNum_Change(text.toStdString()); });
  Refresh();
}

void RecordBrowserWindow::Refresh() {
  if (!browser_.loaded) {
    close();
    return;
  }
  SetLabelText(lblCellNumber_, FromMessageText(browser_.lblCellNumber));
  SetLabelText(lblUTME_, FromMessageText(browser_.lblUTME));
  SetLabelText(lblUTMN_, FromMessageText(browser_.lblUTMN));
  SetLabelText(lblUTMZone_, FromMessageText(browser_.lblUTMZone));
  SetLabelText(lblUSGSLULC_, FromMessageText(browser_.lblUSGSLULC));
  SetLineText(txtRecNum_, FromMessageText(browser_.txtRecNum));
  if (browser_.txtRecNumSelectAll) {
    txtRecNum_->setFocus(Qt::OtherFocusReason);
    txtRecNum_->selectAll();
  }
}

void RecordBrowserWindow::closeEvent(QCloseEvent* event) {
  if (browser_.loaded) browser_.cmdCloseWindow_Click();
  event->accept();
}

}  // namespace tilbo::ui
