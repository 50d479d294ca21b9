#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "runs/RunHost.h"

namespace kvd507::cli {

// Runs a conversion on the terminal: the choices come from the command line, messages go to
// `err`, and the status line is redrawn in place when `err` is a terminal.
class ConsoleHost : public runs::RunHost {
 public:
  struct Payer {
    std::string name;
    std::string code{runs::kNoPayerCode};
  };

  ConsoleHost(std::ostream& err, bool statusLine) : err_(err), statusLine_(statusLine) {}

  // The technical detail of an error is printed after its message only when verbose.
  void setVerbose(bool verbose) { verbose_ = verbose; }

  void setWorkbook(const std::filesystem::path& workbook) { workbook_ = workbook; }
  void setPayer(Payer payer) { payer_ = std::move(payer); }
  void setYear(std::string year) { year_ = std::move(year); }
  void setExistingDeclaration(std::optional<std::filesystem::path> file) {
    existing_ = std::move(file);
  }

  std::string workbookPath() override { return workbook_.string(); }
  std::string workbookName() override { return workbook_.filename().string(); }
  void setBusy(bool) override {}
  void setProgressPosition(int) override {}
  void setProgressMaximum(int) override {}
  void stepProgress() override {}
  void setStatus(std::string_view text) override;
  void processPendingEvents() override {}

  void showError(std::string_view text, std::string_view detail) override;
  void showInformation(std::string_view text) override;
  void showWarning(std::string_view text) override;
  std::optional<std::filesystem::path> chooseExistingDeclaration() override { return existing_; }
  // Kept for the command to print once the run is over.
  void showReport(const runs::RunReport& report) override { report_ = report; }
  const std::optional<runs::RunReport>& report() const { return report_; }

  std::string payerCode() override { return payer_.code; }
  std::string payerName() override { return payer_.name; }
  std::string year() override { return year_; }

 private:
  void clearStatusLine();

  std::ostream& err_;
  bool statusLine_;
  bool statusShown_ = false;
  bool verbose_ = false;
  std::filesystem::path workbook_;
  Payer payer_;
  std::string year_ = runs::defaultYear(runs::currentCalendarYear());
  std::optional<std::filesystem::path> existing_;
  std::optional<runs::RunReport> report_;
};

}  // namespace kvd507::cli
