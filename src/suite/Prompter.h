#pragma once
// How the logic reaches the user: messages and Yes/No questions go through a
// Prompter; "process pending window events" goes through an EventPump. The Qt
// windows, the headless AutoConvert run and the tests each supply their own.

#include <cstdint>
#include <iosfwd>
#include <string>

namespace tilbo {

enum class MessageIcon { None, Information, Exclamation, Critical, Warning, Question };
enum class Reply { Yes, No };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A message box with an OK button.
  virtual void ShowMessage(MessageIcon icon, const std::string& text, const std::string& title) = 0;
  // A Yes/No question; `defaultReply` is the button that Enter presses.
  virtual Reply Ask(MessageIcon icon, const std::string& text, const std::string& title,
                    Reply defaultReply) = 0;
};

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Let pending window events run (repaints, button presses).
  virtual void ProcessPendingEvents() = 0;
  // A status the user reads changed (a row of a list, a status line, a
  // button's caption): let the events run now, however the pumping between
  // records is paced.
  virtual void StatusChanged() { ProcessPendingEvents(); }
  // The progress of long work moved (value of maximum); called often, so
  // implementations keep it cheap.
  virtual void ProgressChanged(int32_t /*value*/, int32_t /*maximum*/) {}
};

// Never blocks: messages go to standard error (or the stream given) as
// "ctgtilbo: <text>", questions take their default reply.
class HeadlessPrompter final : public Prompter {
 public:
  HeadlessPrompter();
  explicit HeadlessPrompter(std::ostream& err) : err_(err) {}
  void ShowMessage(MessageIcon icon, const std::string& text, const std::string& title) override;
  Reply Ask(MessageIcon icon, const std::string& text, const std::string& title,
            Reply defaultReply) override;

 private:
  std::ostream& err_;
};

class NullEventPump final : public EventPump {
 public:
  void ProcessPendingEvents() override {}
};

// The prompter of the shared suite modules (error report, regional check),
// which have no window of their own. Headless until a front end installs one.
Prompter& ActivePrompter();
void SetActivePrompter(Prompter* prompter);  // nullptr restores the headless one

}  // namespace tilbo
