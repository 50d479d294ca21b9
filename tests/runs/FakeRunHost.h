#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runs/ConversionRun.h"
#include "runs/DesktopOpener.h"
#include "runs/RunRequest.h"
#include "runs/WriteReview.h"

namespace kvd507::test {

// The surroundings of a run as a window gives them: the choices a request is made from, a
// progress sink that records, a review that records and answers, and what the result told.
class FakeRunHost : public runs::ProgressSink, public runs::RunReview {
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
  bool stop = false;        // what stopRequested answers
  bool writeAnswer = true;  // what confirmWrite answers
  std::vector<runs::WriteReview> confirmations;

  std::vector<std::string> statuses;
  int progressMaximum = -1;
  int progressSteps = 0;
  int pendingEvents = 0;
  // Called on every pending-events call, to act as a user would during a run.
  std::function<void(FakeRunHost&)> onEvents;

  // What the last run's result told.
  std::vector<Message> messages;
  std::vector<runs::RunReport> reports;
  std::vector<std::filesystem::path> written;
  std::optional<std::filesystem::path> kept;
  bool openFailed = false;

  void chooseWorkbook(const std::filesystem::path& file) {
    path = file.string();
    name = file.filename().string();
  }

  void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
  void stepProgress() override { ++progressSteps; }
  void setStatus(std::string_view text) override { statuses.emplace_back(text); }
  void processPendingEvents() override {
    ++pendingEvents;
    if (onEvents) onEvents(*this);
  }
  bool stopRequested() override { return stop; }
  bool confirmWrite(const runs::WriteReview& review) override {
    confirmations.push_back(review);
    return writeAnswer;
  }

  void take(const runs::RunResult& result) {
    for (const runs::RunMessage& m : result.messages) {
      const char* kind = m.kind == runs::RunMessage::Kind::Error         ? "error"
                         : m.kind == runs::RunMessage::Kind::Information ? "information"
                                                                         : "warning";
      messages.push_back({kind, m.text, m.detail});
    }
    if (result.report) reports.push_back(*result.report);
    if (result.written) written.push_back(*result.written);
    kept = result.kept;
    openFailed = result.openFailed;
  }
};

// Where and how the runs below write.
struct RunSettings {
  std::filesystem::path outputFile;
  char decimalSeparator = ',';
  runs::WriteMode writeMode = runs::WriteMode::Always;
  bool keepReplaced = false;
  bool askBeforeWriting = true;
};

// The request a window would make from `host`'s choices.
inline runs::RunRequest requestFrom(const FakeRunHost& host, const RunSettings& settings,
                                    std::optional<std::filesystem::path> existing) {
  runs::RunRequest request;
  request.workbookPath = host.path;
  request.workbookName = host.name;
  request.existingDeclaration = std::move(existing);
  request.payerCode = host.code;
  request.payerName = host.payer;
  request.year = host.shownYear;
  request.outputFile = settings.outputFile;
  request.keepReplaced = settings.keepReplaced;
  request.decimalSeparator = settings.decimalSeparator;
  request.writeMode = settings.writeMode;
  request.askBeforeWriting = settings.askBeforeWriting;
  return request;
}

inline runs::RunOutcome runGeneration(FakeRunHost& host, const RunSettings& settings,
                                      runs::DesktopOpener& opener) {
  const runs::RunResult result =
      runs::runConversion(requestFrom(host, settings, std::nullopt), host, &host, opener);
  host.take(result);
  return result.outcome;
}

inline runs::RunOutcome runAppend(FakeRunHost& host, const RunSettings& settings,
                                  runs::DesktopOpener& opener) {
  const runs::RunResult result =
      runs::runConversion(requestFrom(host, settings, host.existing), host, &host, opener);
  host.take(result);
  return result.outcome;
}

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
