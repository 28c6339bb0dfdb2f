#pragma once
// A prompter for tests: records every message and question shown, and answers
// questions from a script (the default reply once the script runs out).

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "suite/Prompter.h"

namespace tilbo::testing {

struct Shown {
  bool question = false;
  MessageIcon icon = MessageIcon::None;
  std::string text;
  std::string title;
};

class ScriptedPrompter final : public Prompter {
 public:
  std::vector<Shown> shown;
  std::deque<Reply> replies;

  // The texts shown, without their titles.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Shown& s : shown) texts.push_back(s.text);
    return texts;
  }

  void ShowMessage(MessageIcon icon, const std::string& text, const std::string& title) override {
    shown.push_back({false, icon, text, title});
  }
  Reply Ask(MessageIcon icon, const std::string& text, const std::string& title,
            Reply defaultReply) override {
    shown.push_back({true, icon, text, title});
    if (replies.empty()) return defaultReply;
    const Reply r = replies.front();
    replies.pop_front();
    return r;
  }
};

// Counts how often pending events were processed; may run a hook each time
// (a test presses Cancel from here).
class CountingEventPump final : public EventPump {
 public:
  long calls = 0;
  std::function<void()> onProcess;
  void ProcessPendingEvents() override {
    ++calls;
    if (onProcess) onProcess();
  }
};

}  // namespace tilbo::testing
