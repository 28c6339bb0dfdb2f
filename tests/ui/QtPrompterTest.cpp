#include "ui/QtPrompter.h"

#include <gtest/gtest.h>

namespace tilbo::ui {
namespace {

TEST(QtPrompter, BoxesCarryTheNamedIconPlainTextAndTheirDefaultButton) {
  QtPrompter prompter;
  prompter.StartScript({Reply::No});
  prompter.inspector = [](QMessageBox& box) { EXPECT_EQ(box.textFormat(), Qt::PlainText); };
  prompter.ShowMessage(MessageIcon::Exclamation, "<b>Invalid</b>\r\ninput.", "CTG Tilbo");
  prompter.ShowMessage(MessageIcon::Critical, "Failed.", "CTG Tilbo");
  prompter.ShowMessage(MessageIcon::None, "Done.", "CTG Tilbo");
  // The scripted reply first, then the question's own default.
  EXPECT_EQ(prompter.Ask(MessageIcon::Question, "Add it?", "CTG Tilbo", Reply::Yes), Reply::No);
  EXPECT_EQ(prompter.Ask(MessageIcon::Warning, "Continue?", "CTG Tilbo", Reply::Yes), Reply::Yes);
  EXPECT_EQ(prompter.Ask(MessageIcon::Information, "Cancel?", "CTG Tilbo", Reply::No), Reply::No);

  const std::pair<QMessageBox::Icon, QMessageBox::StandardButton> expected[] = {
      {QMessageBox::Warning, QMessageBox::Ok},  {QMessageBox::Critical, QMessageBox::Ok},
      {QMessageBox::NoIcon, QMessageBox::Ok},   {QMessageBox::Question, QMessageBox::Yes},
      {QMessageBox::Warning, QMessageBox::Yes}, {QMessageBox::Information, QMessageBox::No}};
  const std::vector<RecordedBox>& boxes = prompter.Recorded();
  ASSERT_EQ(boxes.size(), std::size(expected));
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(boxes[i].icon, expected[i].first);
    EXPECT_EQ(boxes[i].defaultButton, expected[i].second);
    EXPECT_EQ(boxes[i].title.toStdString(), "CTG Tilbo");
  }
}

}  // namespace
}  // namespace tilbo::ui
