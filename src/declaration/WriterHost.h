#pragma once

#include "rows/StatusSink.h"

namespace kvd507::declaration {

// Where the writer reports its progress: one step per row written. The payer and the year are
// no business of the surroundings: they come with the header, fixed for the whole file.
class WriterHost : public rows::StatusSink {
 public:
  // Surroundings without a progress bar keep these.
  virtual void setProgressMaximum(int /*maximum*/) {}
  virtual void stepProgress() {}
};

}  // namespace kvd507::declaration
