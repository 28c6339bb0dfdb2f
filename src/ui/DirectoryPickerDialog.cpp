#include "ui/DirectoryPickerDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "ui/TextBridge.h"
#include "ui/WidgetText.h"

namespace tilbo::ui {
namespace {

constexpr const char* kWindowTitle = "Browse Directories";
constexpr int kTreeRows = 14;
constexpr int kTreeWidthInCharacters = 44;
constexpr int kPathRole = Qt::UserRole;

// A directory as the tree names it: no trailing "/" except for the root.
QString TreePath(const std::string& path) {
  QString text = FromPath(path);
  while (text.size() > 1 && text.endsWith(QLatin1Char('/'))) text.chop(1);
  return text;
}

QString ChildPath(const QString& parent, const QString& name) {
  return parent.endsWith(QLatin1Char('/')) ? parent + name : parent + QLatin1Char('/') + name;
}

bool IsWithin(const QString& path, const QString& root) {
  return root == QStringLiteral("/") || path == root || path.startsWith(root + QLatin1Char('/'));
}

}  // namespace

DirectoryPickerDialog::DirectoryPickerDialog(frmDirectories& picker, QWidget* parent)
    : QDialog(parent), picker_(picker) {
  setObjectName(QStringLiteral("frmDirectories"));
  setWindowTitle(QString::fromUtf8(kWindowTitle));
  auto* layout = new QVBoxLayout(this);
  auto* frame = new QGroupBox(QStringLiteral("All Directories"), this);
  frame->setObjectName(QStringLiteral("fraAllDirectories"));
  auto* frameLayout = new QVBoxLayout(frame);

  drlbDrives_ = new QComboBox(frame);
  drlbDrives_->setObjectName(QStringLiteral("drlbDrives"));
  for (const std::string& drive : picker_.drives) {
    drlbDrives_->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), FromPath(drive));
  }
  lblPath_ = ValueLabel(QStringLiteral("lblPath"), frame);
  dilbDirectories_ = new QTreeWidget(frame);
  dilbDirectories_->setObjectName(QStringLiteral("dilbDirectories"));
  dilbDirectories_->setHeaderHidden(true);
  dilbDirectories_->setColumnCount(1);
  dilbDirectories_->setUniformRowHeights(true);
  dilbDirectories_->setMinimumHeight(dilbDirectories_->fontMetrics().height() * kTreeRows);
  dilbDirectories_->setMinimumWidth(fontMetrics().averageCharWidth() * kTreeWidthInCharacters);
  // Opening a directory is the user's act (double-click or Enter), never a
  // side effect of expanding a branch.
  dilbDirectories_->setItemsExpandable(false);
  dilbDirectories_->setRootIsDecorated(false);
  frameLayout->addWidget(drlbDrives_);
  frameLayout->addWidget(lblPath_);
  frameLayout->addWidget(dilbDirectories_);
  layout->addWidget(frame);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  QPushButton* cmdCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  layout->addWidget(buttons);

  connect(cmdOK, &QPushButton::clicked, this, [this] {
    picker_.cmdOK_Click();
    CloseIfDone();
  });
  connect(cmdCancel, &QPushButton::clicked, this, &DirectoryPickerDialog::reject);
  connect(drlbDrives_, &QComboBox::currentIndexChanged, this, [this](int index) {
    picker_.drlbDrives_Change(index);
    Refresh();
  });
  connect(dilbDirectories_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item, int) {
    if (!picker_.dilbDirectories_Change(ToPath(item->data(0, kPathRole).toString()))) QApplication::beep();
    Refresh();
  });
  Refresh();
}

QTreeWidgetItem* DirectoryPickerDialog::ItemFor(const QString& path) const {
  for (QTreeWidgetItemIterator it(dilbDirectories_); *it; ++it) {
    if ((*it)->data(0, kPathRole).toString() == path) return *it;
  }
  return nullptr;
}

void DirectoryPickerDialog::RefreshTree() {
  if (picker_.path == shownPath_ && picker_.subdirectories == shownSubdirectories_) return;
  shownPath_ = picker_.path;
  shownSubdirectories_ = picker_.subdirectories;
  dilbDirectories_->clear();
  if (picker_.path.empty()) return;

  const QString open = TreePath(picker_.path);
  QString root = QStringLiteral("/");
  if (picker_.selectedDrive >= 0 && picker_.selectedDrive < static_cast<int>(picker_.drives.size())) {
    const QString drive = TreePath(picker_.drives[static_cast<std::size_t>(picker_.selectedDrive)]);
    if (IsWithin(open, drive)) root = drive;
  }
  // The open directory's ancestors, each one level deeper, from the root down.
  QTreeWidgetItem* item = new QTreeWidgetItem(dilbDirectories_, {root});
  item->setData(0, kPathRole, root);
  item->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
  QString path = root;
  const QString rest = open.mid(root == QStringLiteral("/") ? 1 : root.size() + 1);
  for (const QString& name : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    path = ChildPath(path, name);
    item = new QTreeWidgetItem(item, {name});
    item->setData(0, kPathRole, path);
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
  }
  QTreeWidgetItem* current = item;
  for (const std::string& name : picker_.subdirectories) {
    const QString text = FromPath(name);
    auto* child = new QTreeWidgetItem(current, {text});
    child->setData(0, kPathRole, ChildPath(path, text));
    child->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
  }
  dilbDirectories_->expandAll();
  dilbDirectories_->setCurrentItem(current);
  dilbDirectories_->scrollToItem(current, QAbstractItemView::PositionAtTop);
}

void DirectoryPickerDialog::Refresh() {
  {
    const QSignalBlocker block(drlbDrives_);
    if (drlbDrives_->currentIndex() != picker_.selectedDrive) drlbDrives_->setCurrentIndex(picker_.selectedDrive);
  }
  SetLabelText(lblPath_, TreePath(picker_.path));
  RefreshTree();
}

void DirectoryPickerDialog::CloseIfDone() {
  if (picker_.closed) accept();
}

void DirectoryPickerDialog::reject() {
  picker_.cmdCancel_Click();
  QDialog::reject();
}

}  // namespace tilbo::ui
