#pragma once
// Message boxes and Yes/No questions as Qt message boxes, with the icons the
// logic names (the exclamation mark is Qt's warning icon) and plain text.
// Before a box appears, the windows behind it are brought up to date with
// their logic, so that the box never stands over a state that has passed.
//
// Test seam: while a script is running, each box is built exactly as it would
// be shown, recorded, handed to an optional inspector, and answered without
// being shown: questions take the next scripted reply (their default button
// once the script has run out), messages are acknowledged.

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "suite/Prompter.h"
#include "ui/QtEventPump.h"

namespace tilbo::ui {

struct RecordedBox {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title;
  QString text;
  bool question = false;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  Reply reply = Reply::No;  // the answer given (questions only)
};

class QtPrompter final : public Prompter {
 public:
  void ShowMessage(MessageIcon icon, const std::string& text, const std::string& title) override;
  Reply Ask(MessageIcon icon, const std::string& text, const std::string& title, Reply defaultReply) override;

  // The window the boxes stand over when no window is active (the modal
  // window or the active one otherwise).
  void SetParentWindow(QWidget* parent) { parent_ = parent; }
  // The pump whose views are refreshed before each box.
  void SetEventPump(QtEventPump* pump) { pump_ = pump; }

  // --- Test seam ---------------------------------------------------------
  void StartScript(std::deque<Reply> replies = {});
  void StopScript() { scripted_ = false; }
  void AddReply(Reply reply) { replies_.push_back(reply); }
  const std::vector<RecordedBox>& Recorded() const { return recorded_; }
  void ClearRecorded() { recorded_.clear(); }
  // Called with each scripted box before it is answered (a screenshot, a check).
  std::function<void(QMessageBox&)> inspector;

 private:
  QMessageBox::StandardButton Run(QMessageBox& box, bool question, Reply defaultReply);

  QPointer<QWidget> parent_;
  QtEventPump* pump_ = nullptr;
  bool scripted_ = false;
  std::deque<Reply> replies_;
  std::vector<RecordedBox> recorded_;
};

QMessageBox::Icon QtIcon(MessageIcon icon);

}  // namespace tilbo::ui
