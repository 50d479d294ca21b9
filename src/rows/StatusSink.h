#pragma once

#include <exception>
#include <string_view>

namespace kvd507::rows {

// Where a long operation reports what it is doing. The window shows it in its status line and
// keeps repainting; the command line prints it; tests record it.
// Thrown by processPendingEvents when the user has ended the program during a long operation.
// Nothing on the way catches it but the run itself, which then stops without saving anything.
class RunStopped : public std::exception {
 public:
  const char* what() const noexcept override { return "the run was stopped"; }
};

class StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual void setStatus(std::string_view text) = 0;
  // Lets the surroundings handle what is waiting (repaints, clicks) before the work goes on.
  // Called once per row; may throw RunStopped. Surroundings with nothing waiting keep this.
  virtual void processPendingEvents() {}
};

}  // namespace kvd507::rows
