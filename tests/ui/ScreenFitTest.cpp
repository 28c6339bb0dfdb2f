#include "ui/ScreenFit.h"

#include <gtest/gtest.h>

namespace tilbo::ui {
namespace {

const QRect kLaptop(0, 0, 1366, 740);  // 1366x768 less a 28-pixel panel

TEST(ScreenFit, AWindowThatWouldNotFitIsMovedOrCutOntoTheScreen) {
  const struct {
    QRect wanted, fitted;
  } cases[] = {
      {{100, 50, 600, 500}, {100, 50, 600, 500}},      // fits: stays
      {{1200, 50, 600, 500}, {766, 50, 600, 500}},     // saved on a wider screen
      {{-30, 600, 600, 500}, {0, 240, 600, 500}},      // beyond the left and bottom edges
      {{10, 10, 1600, 900}, {0, 0, 1366, 740}},        // larger than the screen: cut
      {{1400, 20, 100, 100}, {1266, 20, 100, 100}},    // wholly off the screen
  };
  for (const auto& c : cases) EXPECT_EQ(FitOnScreen(c.wanted, kLaptop), c.fitted) << c.wanted.x();
}

TEST(ScreenFit, TheBrowserGoesBesideItsOwnerWhereThereIsRoom) {
  const QSize browser(460, 230);
  const struct {
    QRect owner, placed;
  } cases[] = {
      {{100, 100, 600, 550}, {708, 100, 460, 230}},   // right of the owner
      {{766, 100, 600, 550}, {298, 100, 460, 230}},   // owner at the right edge: to its left
      {{380, 100, 610, 550}, {906, 100, 460, 230}},   // no room either side: whole on the screen
  };
  for (const auto& c : cases) EXPECT_EQ(BesideOwner(c.owner, browser, 8, kLaptop), c.placed) << c.owner.x();
}

}  // namespace
}  // namespace tilbo::ui
