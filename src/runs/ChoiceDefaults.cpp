#include "runs/ChoiceDefaults.h"

#include <ctime>

namespace kvd507::runs {

int currentCalendarYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
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
