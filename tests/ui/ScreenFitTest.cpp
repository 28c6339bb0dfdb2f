#include "ui/ScreenFit.h"

#include <gtest/gtest.h>

namespace tilbo::ui {
namespace {

TEST(ScreenFit, AWindowBesideItsOwnerOrSavedOnABiggerScreenStaysWholeOnTheScreen) {
  const QRect laptop(0, 0, 1366, 740);  // 1366x768 less a panel
  const QSize browser(460, 230);
  EXPECT_EQ(BesideOwner({100, 100, 600, 550}, browser, 8, laptop), QRect(708, 100, 460, 230));  // right
  EXPECT_EQ(BesideOwner({766, 100, 600, 550}, browser, 8, laptop), QRect(298, 100, 460, 230));  // left
  EXPECT_EQ(BesideOwner({380, 100, 610, 550}, browser, 8, laptop), QRect(906, 100, 460, 230));  // no room
  EXPECT_EQ(FitOnScreen({1200, 600, 600, 500}, laptop), QRect(766, 240, 600, 500));
  EXPECT_EQ(FitOnScreen({-30, 10, 1600, 900}, laptop), laptop);  // larger than the screen: cut
}

}  // namespace
}  // namespace tilbo::ui
