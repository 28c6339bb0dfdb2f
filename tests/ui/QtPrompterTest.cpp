#include "ui/QtPrompter.h"

#include <gtest/gtest.h>

namespace tilbo::ui {
namespace {

TEST(QtPrompter, BoxesCarryTheNamedIconPlainTextAndTheirButtons) {
  QtPrompter prompter;
  prompter.StartScript({Reply::No});
  std::vector<QMessageBox::StandardButtons> buttons;
  prompter.inspector = [&](QMessageBox& box) {
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    buttons.push_back(box.standardButtons());
  };
  prompter.ShowMessage(MessageIcon::Exclamation, "<b>Invalid</b>\r\ninput.", "CTG Tilbo");
  prompter.ShowMessage(MessageIcon::Critical, "Failed.", "CTG Tilbo");
  prompter.ShowMessage(MessageIcon::None, "Done.", "CTG Tilbo");
  // The scripted reply first, then the question's own default.
  EXPECT_EQ(prompter.Ask(MessageIcon::Question, "Add it?", "CTG Tilbo", Reply::Yes), Reply::No);
  EXPECT_EQ(prompter.Ask(MessageIcon::Warning, "Continue?", "CTG Tilbo", Reply::Yes), Reply::Yes);
  EXPECT_EQ(prompter.Ask(MessageIcon::Information, "Cancel?", "CTG Tilbo", Reply::No), Reply::No);

  const struct {
    QMessageBox::Icon icon;
    QMessageBox::StandardButton defaultButton;
  } expected[] = {{QMessageBox::Warning, QMessageBox::Ok},  {QMessageBox::Critical, QMessageBox::Ok},
                  {QMessageBox::NoIcon, QMessageBox::Ok},   {QMessageBox::Question, QMessageBox::Yes},
                  {QMessageBox::Warning, QMessageBox::Yes}, {QMessageBox::Information, QMessageBox::No}};
  const std::vector<RecordedBox>& boxes = prompter.Recorded();
  ASSERT_EQ(boxes.size(), std::size(expected));
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    SCOPED_TRACE(i);
    const bool question = expected[i].defaultButton != QMessageBox::Ok;
    EXPECT_EQ(boxes[i].icon, expected[i].icon);
    EXPECT_EQ(boxes[i].defaultButton, expected[i].defaultButton);
    EXPECT_EQ(boxes[i].question, question);
    EXPECT_EQ(buttons[i], question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(boxes[i].title.toStdString(), "CTG Tilbo");
  }
  EXPECT_EQ(boxes[0].text.toStdString(), "<b>Invalid</b>\ninput.");
}

}  // namespace
}  // namespace tilbo::ui
