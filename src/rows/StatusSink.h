#pragma once

#include <string_view>

namespace kvd507::rows {

// Where a long operation reports what it is doing. The window shows it in its status line and
// keeps repainting; the command line prints it; tests record it.
class StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual void setStatus(std::string_view text) = 0;
  // Lets the surroundings handle what is waiting (repaints, clicks) before the work goes on.
  virtual void processPendingEvents() = 0;
};

}  // namespace kvd507::rows
