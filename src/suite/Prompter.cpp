#include "suite/Prompter.h"

#include <iostream>

#include "suite/Version.h"

namespace tilbo {
namespace {
HeadlessPrompter g_headless;
Prompter* g_active = &g_headless;
}  // namespace

void HeadlessPrompter::ShowMessage(MessageIcon, const std::string& text, const std::string&) {
  std::cerr << kExecutableName << ": " << text << '\n';
}

Reply HeadlessPrompter::Ask(MessageIcon, const std::string& text, const std::string&,
                            Reply defaultReply) {
  std::cerr << kExecutableName << ": " << text << " -> " << (defaultReply == Reply::Yes ? "Yes" : "No")
            << '\n';
  return defaultReply;
}

Prompter& ActivePrompter() { return *g_active; }
void SetActivePrompter(Prompter* prompter) { g_active = prompter != nullptr ? prompter : &g_headless; }

}  // namespace tilbo
