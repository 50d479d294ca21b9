#pragma once

#include <ostream>
#include <string_view>

#include "runs/RunRequest.h"

namespace kvd507::cli {

// A run's progress on the terminal: the status line is redrawn in place on `err` when it is a
// terminal; the run's messages are printed there once it is over.
class ConsoleHost : public runs::ProgressSink {
 public:
  ConsoleHost(std::ostream& err, bool statusLine) : err_(err), statusLine_(statusLine) {}

  void setStatus(std::string_view text) override;

  // The messages of `result`, one line each; the technical detail of an error after its
  // message only when `verbose`.
  void printMessages(const runs::RunResult& result, bool verbose);

 private:
  void clearStatusLine();

  std::ostream& err_;
  bool statusLine_;
  bool statusShown_ = false;
};

}  // namespace kvd507::cli
