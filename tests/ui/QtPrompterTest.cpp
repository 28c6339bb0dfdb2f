#include "ui/QtPrompter.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

namespace tilbo::ui {
namespace {

TEST(QtPrompter, BoxesCarryTheNamedIconTitleAndDefaultButton) {
  QtPrompter prompter;
  prompter.StartScript({Reply::No});
  prompter.ShowMessage(MessageIcon::Exclamation, "Invalid input.", "CTG Tilbo");
  prompter.ShowMessage(MessageIcon::Critical, "Failed.\r\nThis window will now close.", "CTG Tilbo");
  prompter.ShowMessage(MessageIcon::None, "Done.", "CTG Tilbo");
  // The scripted reply first, then the question's own default.
  EXPECT_EQ(prompter.Ask(MessageIcon::Question, "Add it?", "CTG Tilbo", Reply::Yes), Reply::No);
  EXPECT_EQ(prompter.Ask(MessageIcon::Warning, "Continue?", "CTG Tilbo", Reply::Yes), Reply::Yes);
  EXPECT_EQ(prompter.Ask(MessageIcon::Question, "Cancel?", "CTG Tilbo", Reply::No), Reply::No);

  const std::vector<RecordedBox>& boxes = prompter.Recorded();
  ASSERT_EQ(boxes.size(), 6u);
  EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
  EXPECT_EQ(boxes[0].title.toStdString(), "CTG Tilbo");
  EXPECT_EQ(boxes[0].defaultButton, QMessageBox::Ok);
  EXPECT_FALSE(boxes[0].question);
  EXPECT_EQ(boxes[1].icon, QMessageBox::Critical);
  EXPECT_EQ(boxes[1].text.toStdString(), "Failed.\nThis window will now close.");
  EXPECT_EQ(boxes[2].icon, QMessageBox::NoIcon);
  EXPECT_EQ(boxes[3].icon, QMessageBox::Question);
  EXPECT_TRUE(boxes[3].question);
  EXPECT_EQ(boxes[3].defaultButton, QMessageBox::Yes);
  EXPECT_EQ(boxes[4].icon, QMessageBox::Warning);
  EXPECT_EQ(boxes[5].defaultButton, QMessageBox::No);
}

TEST(QtPrompter, InspectorSeesTheBoxAsItWouldBeShown) {
  QtPrompter prompter;
  prompter.StartScript();
  QString buttons;
  prompter.inspector = [&](QMessageBox& box) {
    for (QAbstractButton* button : box.buttons()) buttons += button->text() + ";";
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
  };
  prompter.Ask(MessageIcon::Question, "<b>not bold</b>", "CTG Tilbo", Reply::No);
  EXPECT_EQ(buttons.count(';'), 2);
  EXPECT_TRUE(buttons.contains("Yes") && buttons.contains("No")) << buttons.toStdString();
  EXPECT_EQ(prompter.Recorded()[0].text.toStdString(), "<b>not bold</b>");
}

}  // namespace
}  // namespace tilbo::ui
