#include "WindowDriver.h"

#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <thread>

#include "runs/ProgramFolder.h"
#include "support/MemoryWorkbook.h"

namespace kvd507::test {

std::optional<std::filesystem::path> ScriptedServices::chooseFile(QWidget*,
                                                                  const std::string& filter) {
  filters.push_back(filter);
  if (duringDialog) duringDialog();
  if (answers.empty()) return std::nullopt;
  auto answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<std::filesystem::path> ScriptedServices::chooseSaveFile(
    QWidget* parent, const std::string& filter, const std::filesystem::path& offered) {
  suggested.push_back(offered);
  return chooseFile(parent, filter);
}

bool busyWindow(const QWidget& widget) {
  const QWidget& window = *widget.window();
  return window.testAttribute(Qt::WA_SetCursor) && window.cursor().shape() == Qt::WaitCursor;
}

bool busyDialogs() {
  return QApplication::overrideCursor() != nullptr;
}

void ScriptedServices::showMessage(QWidget* parent, MessageKind kind, const std::string& text) {
  bool disabled = true;
  for (const char* name : {"btn_open", "btn_kvd507", "btn_papildyti", "btn_formos", "btn_close"}) {
    // Messages of the viewer have no run buttons behind them.
    const QWidget* button = parent->findChild<QWidget*>(name);
    disabled = disabled && button != nullptr && !button->isEnabled();
  }
  messages.push_back({kind, text, busyWindow(*parent), busyDialogs(), disabled});
}

void ScriptedServices::showReport(QWidget* parent, const runs::RunReport& report, char) {
  reports.push_back({report, busyWindow(*parent), busyDialogs()});
}

bool ScriptedServices::reviewDeclaration(QWidget* parent, const runs::WriteReview& review, char) {
  reviews.push_back({review.report, busyWindow(*parent), busyDialogs()});
  writeReviews.push_back(review);
  if (reviewAnswers.empty()) return true;
  const bool answer = reviewAnswers.front();
  reviewAnswers.pop_front();
  return answer;
}

std::vector<std::string> ScriptedServices::texts() const {
  std::vector<std::string> result;
  for (const Shown& m : messages) {
    const char* kind = m.kind == MessageKind::Error         ? "error"
                       : m.kind == MessageKind::Information ? "information"
                                                            : "warning";
    result.push_back(std::string(kind) + ": " + m.text);
  }
  return result;
}

bool RecordingOpener::open(const std::filesystem::path& path) {
  std::lock_guard lock(mutex_);
  opened_.push_back(path);
  return answer;
}

std::vector<std::filesystem::path> RecordingOpener::opened() const {
  std::lock_guard lock(mutex_);
  return opened_;
}

std::function<void()> RowGate::hook() {
  return [this] {
    if (++rows_ != pauseAt_) return;
    paused_ = true;
    while (!released_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
}

bool RowGate::waitUntilPaused() {
  return QTest::qWaitFor([this] { return paused_.load(); }, 10000);
}

WindowDriver::WindowDriver() {
  makeWindow();
}

WindowDriver::~WindowDriver() = default;

void WindowDriver::makeWindow() {
  window_.reset();
  services.messages.clear();
  services.reports.clear();
  window_ = std::make_unique<gui::MainWindow>(folder.path(), services, opener);
}

void WindowDriver::chooseWorkbook(const std::filesystem::path& file) {
  services.answers.push_back(file);
  control<QPushButton>("btn_open").click();
}

bool WindowDriver::waitForRunEnd() {
  return QTest::qWaitFor([this] { return !window_->runInProgress(); }, 20000);
}

void WindowDriver::runWith(const char* button) {
  control<QPushButton>(button).click();
  if (!waitForRunEnd()) throw std::runtime_error("the run did not end");
}

std::filesystem::path WindowDriver::workbook(int lCount, int uCount, const std::string& name) {
  const std::string L = "KVD507 L";
  const std::string U = "KVD507 U";
  MemoryWorkbook book;
  book.sheet(L).sheet(U);
  for (int i = 0; i < lCount; ++i) {
    book.text(L, 6 + i, 2, "L" + std::to_string(i)).number(L, 6 + i, 8, 10).text(L, 6 + i, 9, "5");
  }
  for (int i = 0; i < uCount; ++i) {
    book.text(U, 6 + i, 2, "U" + std::to_string(i)).number(U, 6 + i, 13, 2.5);
    book.text(U, 6 + i, 14, "12");
  }
  const auto path = folder / name;
  book.saveXlsx(path);
  return path;
}

std::filesystem::path WindowDriver::declaration() const {
  return runs::declarationFile(folder.path());
}

}  // namespace kvd507::test
