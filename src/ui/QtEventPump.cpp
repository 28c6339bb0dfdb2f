#include "ui/QtEventPump.h"

#include <QCoreApplication>
#include <algorithm>

namespace tilbo::ui {

void QtEventPump::AddView(RefreshableView* view) {
  if (std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
}

void QtEventPump::RemoveView(RefreshableView* view) {
  views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void QtEventPump::ProcessIfDue() {
  const Clock::time_point now = Clock::now();
  if (now - lastProcessed_ < interval_) return;
  // The views first, so that the repaint the events trigger shows the new state.
  const std::vector<RefreshableView*> views = views_;  // a view may leave while events run
  for (RefreshableView* view : views) view->Refresh();
  QCoreApplication::processEvents();
  lastProcessed_ = Clock::now();
  ++processed_;
}

}  // namespace tilbo::ui
