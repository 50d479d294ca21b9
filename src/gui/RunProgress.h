#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

namespace kvd507::gui {

// The status text and progress of a run, kept by the run on its own thread and handed to the
// window only when the window asks for them: the window takes a snapshot a few dozen times a
// second and shows the latest values, so a fast run never floods the interface with repaints,
// and the run never waits for the interface thread except at those few hand-overs.
class RunProgress {
 public:
  struct Snapshot {
    std::string status;
    int maximum = 100;
    int position = 0;
  };

  // The run's side, on its thread.
  void setStatus(std::string_view text);
  void setMaximum(int maximum);
  void step();
  void setPosition(int position);
  // Hands the current values over whether the window asked or not (at the end, before a
  // message).
  void publish();

  // The window's side: the values handed over since the last call, if any. Asks for the next.
  bool take(Snapshot& snapshot);

 private:
  void offer();

  Snapshot current_;  // the run's own copy, touched only on its thread
  std::atomic<bool> wanted_ = true;
  std::mutex mutex_;
  Snapshot shared_;
  bool changed_ = false;
};

}  // namespace kvd507::gui
