#include "gui/RunProgress.h"

namespace kvd507::gui {

void RunProgress::setStatus(std::string_view text) {
  current_.status.assign(text);
  offer();
}

void RunProgress::setMaximum(int maximum) {
  current_.maximum = maximum;
  offer();
}

void RunProgress::step() {
  // Like a progress bar's step: past the maximum it starts again from the minimum.
  current_.position = current_.position + 1 > current_.maximum ? 0 : current_.position + 1;
  offer();
}

void RunProgress::setPosition(int position) {
  current_.position = position;
  offer();
}

void RunProgress::offer() {
  if (wanted_.load(std::memory_order_relaxed)) publish();
}

void RunProgress::publish() {
  wanted_.store(false, std::memory_order_relaxed);
  std::lock_guard lock(mutex_);
  shared_ = current_;
  changed_ = true;
}

bool RunProgress::take(Snapshot& snapshot) {
  std::lock_guard lock(mutex_);
  wanted_.store(true, std::memory_order_relaxed);
  if (!changed_) return false;
  snapshot = shared_;
  changed_ = false;
  return true;
}

}  // namespace kvd507::gui
