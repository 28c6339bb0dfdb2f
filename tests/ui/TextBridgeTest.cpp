#include "ui/TextBridge.h"

#include <gtest/gtest.h>

namespace tilbo::ui {
namespace {

TEST(TextBridge, OpenFileFilterKeepsItsCaptionsAndStarDotStarMeansEveryFile) {
  EXPECT_EQ(QtNameFilters("Text Files (*.txt)|*.txt|All Files (*.*)|*.*").join(";;").toStdString(),
            "Text Files (*.txt) (*.txt);;All Files (*.*) (*)");
  // Several patterns; a dangling description without patterns is dropped.
  EXPECT_EQ(QtNameFilters("Grids|*.ctg;*.txt|Broken").join(";;").toStdString(), "Grids (*.ctg *.txt)");
}

TEST(TextBridge, TitlesAreLatin1BytesAndMessagesFallBackToLatin1) {
  const std::string title = "CHAMBORD \xC9GLISE";  // Latin-1 E acute
  EXPECT_EQ(FromLatin1Bytes(title), QString::fromUtf8("CHAMBORD \xC3\x89GLISE"));
  EXPECT_EQ(ToLatin1Bytes(FromLatin1Bytes(title)), title);
  // A message with a UTF-8 path stays UTF-8; one with a Latin-1 title is read as Latin-1.
  EXPECT_EQ(FromMessageText("The file \"/data/\xC3\xA9t\xC3\xA9.txt\"\r\nline"),
            QString::fromUtf8("The file \"/data/\xC3\xA9t\xC3\xA9.txt\"\nline"));
  EXPECT_EQ(FromMessageText(title), QString::fromUtf8("CHAMBORD \xC3\x89GLISE"));
}

}  // namespace
}  // namespace tilbo::ui
