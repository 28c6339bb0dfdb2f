#include "ui/QtPrompter.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "ui/TextBridge.h"

namespace tilbo::ui {

QMessageBox::Icon QtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

namespace {

// Boxes stand over the window the user is working in.
QWidget* BoxParent(QWidget* fallback) {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return fallback;
}

// Texts laid out in columns with tabs (the run's summary, a conflict's
// details) keep their lines whole; plain sentences wrap. QMessageBox decides
// on wrapping when it is shown, at about half the screen's width; a label at
// least as wide as its longest line never needs to.
void KeepTabbedLinesWhole(QMessageBox& box) {
  if (!box.text().contains(QLatin1Char('\t'))) return;
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (label == nullptr) return;
  label->setWordWrap(false);
  label->setMinimumWidth(label->sizeHint().width());
}

QMessageBox::StandardButton ButtonOf(Reply reply) { return reply == Reply::Yes ? QMessageBox::Yes : QMessageBox::No; }

}  // namespace

void QtPrompter::StartScript(std::deque<Reply> replies) {
  scripted_ = true;
  replies_ = std::move(replies);
  recorded_.clear();
}

QMessageBox::StandardButton QtPrompter::Run(QMessageBox& box, bool question, Reply defaultReply) {
  if (!scripted_) return static_cast<QMessageBox::StandardButton>(box.exec());
  RecordedBox record;
  record.icon = box.icon();
  record.title = box.windowTitle();
  record.text = box.text();
  record.question = question;
  if (QAbstractButton* button = box.defaultButton()) record.defaultButton = box.standardButton(button);
  if (inspector) inspector(box);
  QMessageBox::StandardButton answer = QMessageBox::Ok;
  if (question) {
    Reply reply = defaultReply;
    if (!replies_.empty()) {
      reply = replies_.front();
      replies_.pop_front();
    }
    record.reply = reply;
    answer = ButtonOf(reply);
  }
  recorded_.push_back(record);
  return answer;
}

void QtPrompter::ShowMessage(MessageIcon icon, const std::string& text, const std::string& title) {
  if (pump_ != nullptr) pump_->RefreshViews();
  QWidget* parent = BoxParent(parent_);
  QMessageBox box(QtIcon(icon), FromMessageText(title), FromMessageText(text), QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Ok);
  KeepTabbedLinesWhole(box);
  Run(box, false, Reply::Yes);
}

Reply QtPrompter::Ask(MessageIcon icon, const std::string& text, const std::string& title, Reply defaultReply) {
  if (pump_ != nullptr) pump_->RefreshViews();
  QWidget* parent = BoxParent(parent_);
  QMessageBox box(QtIcon(icon), FromMessageText(title), FromMessageText(text), QMessageBox::Yes | QMessageBox::No,
                  parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(ButtonOf(defaultReply));
  // Closing the box without an answer is the safe answer: No.
  box.setEscapeButton(QMessageBox::No);
  KeepTabbedLinesWhole(box);
  return Run(box, true, defaultReply) == QMessageBox::Yes ? Reply::Yes : Reply::No;
}

}  // namespace tilbo::ui
