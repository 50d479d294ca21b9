#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "handover/RunProgress.h"
#include "runs/RunRequest.h"
#include "runs/WriteReview.h"

namespace kvd507::handover {

// The run's two lines back to the window, used on the run's own thread: status and progress go
// to the shared RunProgress, and the review is handed to the interface thread: the review is
// copied into a call that `post` carries there (the window's event queue), and the run waits
// until the user has answered. The call changes hands under this object's lock, in both
// directions, so that nothing the run made is ever shared with the interface, and a thread
// checker sees the hand-over whatever carries the call.
class RunHandover : public runs::ProgressSink, public runs::RunReview {
 public:
  using ReviewSink = std::function<bool(const runs::WriteReview&)>;
  // Runs its argument on the interface thread, later; never on the calling thread at once.
  using Post = std::function<void(std::function<void()>)>;

  // `review` is called on the interface thread only.
  RunHandover(RunProgress& progress, Post post, ReviewSink review)
      : progress_(progress), post_(std::move(post)), review_(std::move(review)) {}

  // Asks the run to stop at its next row; from then on nothing is asked or opened.
  void requestStop() { stop_ = true; }
  // Called once per row on the run's thread, before the stop test (tests pause a run with it).
  void setRowHook(std::function<void()> hook) { rowHook_ = std::move(hook); }

  void setStatus(std::string_view text) override { progress_.setStatus(text); }
  void setProgressMaximum(int maximum) override { progress_.setMaximum(maximum); }
  void stepProgress() override { progress_.step(); }
  void processPendingEvents() override;
  bool stopRequested() override { return stop_; }

  bool confirmWrite(const runs::WriteReview& review) override;

 private:
  // On the run's thread: has `call` run on the interface thread and waits until it has.
  void callInterface(std::function<void()> call);
  // On the interface thread: runs the call handed over and wakes the run.
  void runHandedOver();

  RunProgress& progress_;
  Post post_;
  ReviewSink review_;
  std::mutex handoverMutex_;
  std::condition_variable handedBack_;
  std::function<void()> handedOver_;  // the call waiting for the interface
  bool done_ = false;                 // the interface has run it
  std::atomic<bool> stop_ = false;
  std::function<void()> rowHook_;
};

}  // namespace kvd507::handover
