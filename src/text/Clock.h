#pragma once

namespace kvd507::text {

// A calendar day.
struct CalendarDate {
  int year = 0;
  unsigned month = 0;
  unsigned day = 0;

  // Orders days: a later day has a larger number.
  long long number() const { return year * 10000LL + month * 100LL + day; }
};

// Where every "today" of the program comes from: the computer's calendar in local time, unless
// a test has put a clock of its own in place (FixedToday), so that no check depends on the day
// it runs.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual CalendarDate today() const = 0;
};

// Today, by the clock in place.
CalendarDate today();

// For tests: while it lives, today is `day`, on every thread.
class FixedToday final : public Clock {
 public:
  explicit FixedToday(CalendarDate day);
  ~FixedToday() override;
  FixedToday(const FixedToday&) = delete;
  FixedToday& operator=(const FixedToday&) = delete;

  CalendarDate today() const override { return day_; }

 private:
  CalendarDate day_;
  const Clock* replaced_;
};

}  // namespace kvd507::text
