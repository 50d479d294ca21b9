#include "handover/RunHandover.h"

#include "rows/StatusSink.h"

namespace kvd507::handover {

void RunHandover::processPendingEvents() {
  // The window stays responsive on its own thread; here the run only learns whether to go on.
  if (rowHook_) rowHook_();
  if (stop_) throw rows::RunStopped();
}

void RunHandover::callInterface(std::function<void()> call) {
  {
    std::lock_guard lock(handoverMutex_);
    handedOver_ = std::move(call);
    done_ = false;
  }
  post_([this] { runHandedOver(); });
  std::unique_lock lock(handoverMutex_);
  handedBack_.wait(lock, [this] { return done_; });
}

void RunHandover::runHandedOver() {
  std::function<void()> call;
  {
    std::lock_guard lock(handoverMutex_);
    call = std::move(handedOver_);
    handedOver_ = nullptr;
  }
  try {
    if (call) call();
  } catch (...) {
    // A message that could not be shown must not keep the run waiting for ever.
  }
  // What the call holds (the run's text or report, copied) is freed here, on this thread.
  call = nullptr;
  {
    std::lock_guard lock(handoverMutex_);
    done_ = true;
  }
  handedBack_.notify_one();
}

bool RunHandover::confirmWrite(const runs::WriteReview& review) {
  // The window is closing: nothing is written.
  if (stop_) return false;
  if (!review_) return true;
  // The answer is written on the interface thread and read here after the hand-back, under the
  // hand-over's lock.
  bool write = false;
  callInterface([this, review, &write] { write = review_(review); });
  return write && !stop_;
}

}  // namespace kvd507::handover
