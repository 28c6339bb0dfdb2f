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
#include <filesystem>

#include "ui/TextBridge.h"
#include "ui/WidgetText.h"

namespace tilbo::ui {
namespace {

constexpr const char* kWindowTitle = "Browse Directories";
constexpr int kTreeRows = 14;
constexpr int kTreeWidthInCharacters = 44;
constexpr int kPathRole = Qt::UserRole;
// Set once the directories in the entry's directory have been listed.
constexpr int kListedRole = Qt::UserRole + 1;

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

// The drive that holds `path`: the deepest mount root above it.
int DriveOf(const std::vector<std::string>& drives, const QString& path) {
  int drive = 0;
  qsizetype depth = -1;
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const QString root = TreePath(drives[i]);
    if (IsWithin(path, root) && root.size() > depth) {
      drive = static_cast<int>(i);
      depth = root.size();
    }
  }
  return drive;
}

// An entry not listed yet offers to expand; listing it tells the truth.
void SetUpEntry(QTreeWidgetItem* item, const QString& path) {
  item->setData(0, kPathRole, path);
  item->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_DirIcon));
  item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

}  // namespace

DirectoryPickerDialog::DirectoryPickerDialog(frmDirectories& picker, const std::string& startDirectory,
                                             QWidget* parent)
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
  // The selected directory is the picked one; one that cannot be read is
  // refused and the selection goes back.
  connect(dilbDirectories_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const QString path = item->data(0, kPathRole).toString();
    if (path != TreePath(picker_.path) && !picker_.dilbDirectories_Change(ToPath(path))) QApplication::beep();
    Refresh();
  });
  // A directory is listed when it is selected; expanding one not listed yet
  // selects it.
  connect(dilbDirectories_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (!item->data(0, kListedRole).toBool()) dilbDirectories_->setCurrentItem(item);
  });
  OpenOn(startDirectory);
  Refresh();
  // The directory it opens on shows the directories in it.
  if (QTreeWidgetItem* open = ItemFor(TreePath(picker_.path))) {
    const QSignalBlocker block(dilbDirectories_);
    open->setExpanded(true);
  }
}

void DirectoryPickerDialog::OpenOn(const std::string& directory) {
  std::error_code ec;
  std::filesystem::path start = directory;
  if (directory.empty() || !std::filesystem::is_directory(start, ec)) start = std::filesystem::current_path(ec);
  if (!ec) start = std::filesystem::absolute(start, ec).lexically_normal();
  if (ec || picker_.drives.empty()) return;  // the drive's root, as loaded
  const QString open = TreePath(start.string());
  const int drive = DriveOf(picker_.drives, open);
  if (drive != picker_.selectedDrive) picker_.drlbDrives_Change(drive);
  picker_.dilbDirectories_Change(ToPath(open));
}

QTreeWidgetItem* DirectoryPickerDialog::ItemFor(const QString& path) const {
  for (QTreeWidgetItemIterator it(dilbDirectories_); *it; ++it) {
    if ((*it)->data(0, kPathRole).toString() == path) return *it;
  }
  return nullptr;
}

QTreeWidgetItem* DirectoryPickerDialog::EnsureItem(const QString& path) {
  if (dilbDirectories_->topLevelItemCount() == 0) {
    SetUpEntry(new QTreeWidgetItem(dilbDirectories_, {root_}), root_);
  }
  QTreeWidgetItem* item = dilbDirectories_->topLevelItem(0);
  QString at = root_;
  const QString rest = path.mid(root_ == QStringLiteral("/") ? 1 : root_.size() + 1);
  for (const QString& name : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    at = ChildPath(at, name);
    QTreeWidgetItem* child = nullptr;
    for (int i = 0; i < item->childCount() && child == nullptr; ++i) {
      if (item->child(i)->text(0) == name) child = item->child(i);
    }
    if (child == nullptr) {
      child = new QTreeWidgetItem(item, {name});
      SetUpEntry(child, at);
      item->sortChildren(0, Qt::AscendingOrder);
    }
    item = child;
  }
  return item;
}

void DirectoryPickerDialog::RefreshTree() {
  const QSignalBlocker block(dilbDirectories_);
  const QString open = TreePath(picker_.path);
  QString root = QStringLiteral("/");
  if (picker_.selectedDrive >= 0 && picker_.selectedDrive < static_cast<int>(picker_.drives.size())) {
    const QString drive = TreePath(picker_.drives[static_cast<std::size_t>(picker_.selectedDrive)]);
    if (IsWithin(open, drive)) root = drive;
  }
  if (picker_.path.empty() || root != root_) {
    dilbDirectories_->clear();
    root_ = root;
  }
  if (picker_.path.empty()) return;

  QTreeWidgetItem* current = EnsureItem(open);
  QStringList shown;
  for (int i = 0; i < current->childCount(); ++i) shown << current->child(i)->text(0);
  for (const std::string& name : picker_.subdirectories) {
    const QString text = FromPath(name);
    if (!shown.contains(text)) SetUpEntry(new QTreeWidgetItem(current, {text}), ChildPath(open, text));
  }
  current->sortChildren(0, Qt::AscendingOrder);
  current->setData(0, kListedRole, true);
  current->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
  for (QTreeWidgetItem* parent = current->parent(); parent != nullptr; parent = parent->parent()) {
    parent->setExpanded(true);
  }
  dilbDirectories_->setCurrentItem(current);
  dilbDirectories_->scrollToItem(current);
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
