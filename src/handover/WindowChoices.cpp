#include "handover/WindowChoices.h"

#include <utility>

#include "runs/ChoiceDefaults.h"

namespace kvd507::handover {

WindowChoices::WindowChoices()
    : payer_{std::string(runs::kNoPayerCode), {}},
      year_(runs::defaultYear(runs::currentCalendarYear())) {
  clearWorkbook();
}

void WindowChoices::setWorkbook(Workbook workbook) {
  std::lock_guard lock(mutex_);
  workbook_ = std::move(workbook);
}

void WindowChoices::clearWorkbook() {
  setWorkbook({std::string(runs::kNoWorkbookPath), std::string(runs::kNoWorkbookName)});
}

void WindowChoices::setPayer(Payer payer) {
  std::lock_guard lock(mutex_);
  payer_ = std::move(payer);
}

void WindowChoices::setYear(std::string year) {
  std::lock_guard lock(mutex_);
  year_ = std::move(year);
}

WindowChoices::Workbook WindowChoices::workbook() const {
  std::lock_guard lock(mutex_);
  return workbook_;
}

WindowChoices::Payer WindowChoices::payer() const {
  std::lock_guard lock(mutex_);
  return payer_;
}

std::string WindowChoices::year() const {
  std::lock_guard lock(mutex_);
  return year_;
}

}  // namespace kvd507::handover
