#include "handover/RunProgress.h"

namespace kvd507::handover {

void RunProgress::setStatus(std::string_view text) {
  std::lock_guard lock(mutex_);
  values_.status.assign(text);
  changed_ = true;
}

void RunProgress::setMaximum(int maximum) {
  std::lock_guard lock(mutex_);
  values_.maximum = maximum;
  changed_ = true;
}

void RunProgress::step() {
  std::lock_guard lock(mutex_);
  // Like a progress bar's step: past the maximum it starts again from the minimum.
  values_.position = values_.position + 1 > values_.maximum ? 0 : values_.position + 1;
  changed_ = true;
}

void RunProgress::setPosition(int position) {
  std::lock_guard lock(mutex_);
  values_.position = position;
  changed_ = true;
}

bool RunProgress::take(Snapshot& snapshot) {
  std::lock_guard lock(mutex_);
  if (!changed_) return false;
  snapshot = values_;
  changed_ = false;
  return true;
}

}  // namespace kvd507::handover
