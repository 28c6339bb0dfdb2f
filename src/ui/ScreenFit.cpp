#include "ui/ScreenFit.h"

#include <algorithm>

namespace tilbo::ui {

QRect FitOnScreen(const QRect& wanted, const QRect& available) {
  const int width = std::min(wanted.width(), available.width());
  const int height = std::min(wanted.height(), available.height());
  const int left = std::clamp(wanted.x(), available.x(), available.x() + available.width() - width);
  const int top = std::clamp(wanted.y(), available.y(), available.y() + available.height() - height);
  return QRect(left, top, width, height);
}

QRect BesideOwner(const QRect& owner, const QSize& size, int gap, const QRect& available) {
  const QRect right(owner.x() + owner.width() + gap, owner.y(), size.width(), size.height());
  const QRect left(owner.x() - gap - size.width(), owner.y(), size.width(), size.height());
  const bool rightFits = right.x() + right.width() <= available.x() + available.width();
  const bool leftFits = left.x() >= available.x();
  return FitOnScreen(!rightFits && leftFits ? left : right, available);
}

}  // namespace tilbo::ui
