#include "suite/Prompter.h"

#include <iostream>

#include "suite/Version.h"

namespace tilbo {
namespace {
HeadlessPrompter g_headless;
Prompter* g_active = &g_headless;
}  // namespace

HeadlessPrompter::HeadlessPrompter() : err_(std::cerr) {}

void HeadlessPrompter::ShowMessage(MessageIcon, const std::string& text, const std::string&) {
  err_ << kExecutableName << ": " << text << '\n';
}

Reply HeadlessPrompter::Ask(MessageIcon, const std::string& text, const std::string&,
                            Reply defaultReply) {
  err_ << kExecutableName << ": " << text << " -> " << (defaultReply == Reply::Yes ? "Yes" : "No")
            << '\n';
  return defaultReply;
}

Prompter& ActivePrompter() { return *g_active; }
void SetActivePrompter(Prompter* prompter) { g_active = prompter != nullptr ? prompter : &g_headless; }

}  // namespace tilbo
