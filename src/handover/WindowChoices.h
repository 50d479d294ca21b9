#pragma once

#include <mutex>
#include <string>

namespace kvd507::handover {

// What the user has chosen in the window. The window writes it on the interface thread whenever
// a choice changes, and makes a run's request from it when the run starts: a change made during
// a run is for the next one.
class WindowChoices {
 public:
  struct Workbook {
    std::string path;  // runs::kNoWorkbookPath when none is chosen
    std::string name;  // runs::kNoWorkbookName when none is chosen
  };
  struct Payer {
    std::string code;  // runs::kNoPayerCode when none is known
    std::string name;  // the payer selector's text, empty when nothing is selected
  };

  WindowChoices();

  void setWorkbook(Workbook workbook);
  void clearWorkbook();
  void setPayer(Payer payer);
  void setYear(std::string year);

  Workbook workbook() const;
  Payer payer() const;
  std::string year() const;

 private:
  mutable std::mutex mutex_;
  Workbook workbook_;
  Payer payer_;
  std::string year_;
};

}  // namespace kvd507::handover
