#include "runs/ChoiceDefaults.h"

#include "text/Clock.h"

namespace kvd507::runs {

int currentCalendarYear() {
  return text::today().year;
}

std::vector<std::string> yearChoices(int currentYear) {
  std::vector<std::string> years;
  // A clock set before the first year still offers the first year and its default.
  const int last = currentYear < kFirstYear + 1 ? kFirstYear + 1 : currentYear;
  for (int year = kFirstYear; year <= last; ++year) years.push_back(std::to_string(year));
  return years;
}

std::string defaultYear(int currentYear) {
  const int year = currentYear - 1;
  return std::to_string(year < kFirstYear ? kFirstYear : year);
}

}  // namespace kvd507::runs
