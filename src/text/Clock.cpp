#include "text/Clock.h"

#include <atomic>
#include <ctime>

namespace kvd507::text {
namespace {

class SystemClock final : public Clock {
 public:
  CalendarDate today() const override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
            static_cast<unsigned>(local.tm_mday)};
  }
};

const SystemClock kSystemClock;

// Read by a run's thread while it checks rows, set by a test before it starts one.
std::atomic<const Clock*> current{&kSystemClock};

}  // namespace

CalendarDate today() {
  return current.load()->today();
}

FixedToday::FixedToday(CalendarDate day) : day_(day), replaced_(current.exchange(this)) {}

FixedToday::~FixedToday() {
  current.store(replaced_);
}

}  // namespace kvd507::text
