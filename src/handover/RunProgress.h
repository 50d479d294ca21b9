#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace kvd507::handover {

// The latest status text and progress of a run. The run writes it once per row from its own
// thread; the window takes a snapshot a few dozen times a second and shows only the latest
// values, so a fast run never floods the interface with repaints.
class RunProgress {
 public:
  struct Snapshot {
    std::string status;
    int maximum = 100;
    int position = 0;
  };

  void setStatus(std::string_view text);
  void setMaximum(int maximum);
  void step();
  void setPosition(int position);

  // The current values, and whether anything changed since the last call.
  bool take(Snapshot& snapshot);

 private:
  std::mutex mutex_;
  Snapshot values_;
  bool changed_ = false;
};

}  // namespace kvd507::handover
