#pragma once

#include <string>

#include "rows/StatusSink.h"

namespace kvd507::declaration {

// What the writer reads from and reports to its surroundings. The payer and the year are asked
// for at the moment they are written, so a choice changed in the window during a run shows in
// the pages written after it.
class WriterHost : public rows::StatusSink {
 public:
  virtual void setProgressMaximum(int maximum) = 0;
  virtual void stepProgress() = 0;

  virtual std::string payerCode() = 0;  // the selected payer's code, "lb_kodas" when none
  virtual std::string payerName() = 0;  // the name shown in the payer selector
  virtual std::string year() = 0;       // the year shown in the year selector
};

}  // namespace kvd507::declaration
