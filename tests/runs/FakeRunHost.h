#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runs/DesktopOpener.h"
#include "runs/RunHost.h"

namespace kvd507::test {

// A run host that records what the run shows and answers from its fields.
class FakeRunHost : public runs::RunHost {
 public:
  struct Message {
    std::string kind;  // "error", "information", "warning"
    std::string text;
    std::string detail;
  };

  std::string path{runs::kNoWorkbookPath};
  std::string name{runs::kNoWorkbookName};
  std::string code{runs::kNoPayerCode};
  std::string payer;
  std::string shownYear = "2022";
  std::optional<std::filesystem::path> existing;
  bool dialogShown = false;
  bool stop = false;        // what stopRequested answers
  bool writeAnswer = true;  // what confirmWrite answers
  std::vector<runs::RunReport> confirmations;
  std::vector<std::filesystem::path> written;

  std::vector<std::string> statuses;
  std::vector<Message> messages;
  std::vector<runs::RunReport> reports;
  std::vector<bool> busy;
  int progressMaximum = -1;
  int progressSteps = 0;
  int progressPosition = -1;
  int pendingEvents = 0;
  // Called on every pending-events call, to act as a user would during a run.
  std::function<void(FakeRunHost&)> onEvents;

  void chooseWorkbook(const std::filesystem::path& file) {
    path = file.string();
    name = file.filename().string();
  }

  std::string workbookPath() override { return path; }
  std::string workbookName() override { return name; }
  void setBusy(bool value) override { busy.push_back(value); }
  void setProgressPosition(int position) override { progressPosition = position; }
  void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
  void stepProgress() override { ++progressSteps; }
  void setStatus(std::string_view text) override { statuses.emplace_back(text); }
  void processPendingEvents() override {
    ++pendingEvents;
    if (onEvents) onEvents(*this);
  }
  void showError(std::string_view text, std::string_view detail) override {
    messages.push_back({"error", std::string(text), std::string(detail)});
  }
  void showInformation(std::string_view text) override {
    messages.push_back({"information", std::string(text), {}});
  }
  void showWarning(std::string_view text) override {
    messages.push_back({"warning", std::string(text), {}});
  }
  bool stopRequested() override { return stop; }
  std::optional<std::filesystem::path> chooseExistingDeclaration() override {
    dialogShown = true;
    return existing;
  }
  // Records the report and lets the default show its warnings, as a host without a report
  // dialog would.
  void showReport(const runs::RunReport& report) override {
    reports.push_back(report);
    RunHost::showReport(report);
  }
  bool confirmWrite(const runs::RunReport& report) override {
    confirmations.push_back(report);
    return writeAnswer;
  }
  void declarationWritten(const std::filesystem::path& file, const runs::RunSummary&) override {
    written.push_back(file);
  }
  std::string payerCode() override { return code; }
  std::string payerName() override { return payer; }
  std::string year() override { return shownYear; }
};

// Records what the run asked the desktop to open and answers as told.
class FakeOpener : public runs::DesktopOpener {
 public:
  bool answer = true;
  std::vector<std::filesystem::path> opened;
  bool open(const std::filesystem::path& path) override {
    opened.push_back(path);
    return answer;
  }
};

}  // namespace kvd507::test
