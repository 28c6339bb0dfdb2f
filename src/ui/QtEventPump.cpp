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

void QtEventPump::RefreshViews() {
  const std::vector<RefreshableView*> views = views_;  // a refresh may close its window
  for (RefreshableView* view : views) view->Refresh();
}

void QtEventPump::RunRound() {
  const Clock::time_point start = now_();
  // The views first, so that the repaint the events trigger shows the new state.
  RefreshViews();
  QCoreApplication::processEvents();
  const Clock::duration spent = now_() - start;
  nextRound_ = start + std::clamp(spent * kTimeShareDivisor, interval_, std::max(interval_, kLongestInterval));
  timeInRounds_ += spent;
  ++processed_;
}

}  // namespace tilbo::ui
