#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "gui/MainWindow.h"
#include "gui/WindowServices.h"
#include "runs/DesktopOpener.h"
#include "support/TempDir.h"

namespace kvd507::test {

// Answers the window's file dialogs from a queue and records its message boxes together with
// what the window looked like while each was open.
class ScriptedServices : public gui::WindowServices {
 public:
  struct Shown {
    MessageKind kind;
    std::string text;
    bool busyCursor;  // over the window behind the message
    bool busyDialog;  // over the message itself
    bool runButtonsDisabled;
  };

  std::deque<std::optional<std::filesystem::path>> answers;  // none left: cancelled
  std::vector<std::string> filters;
  std::vector<Shown> messages;
  std::function<void()> duringDialog;

  struct ShownReport {
    runs::RunReport report;
    bool busyCursor;
    bool busyDialog;
  };
  std::vector<ShownReport> reports;
  std::vector<ShownReport> reviews;
  std::vector<runs::WriteReview> writeReviews;  // as put, one per review
  std::deque<bool> reviewAnswers;               // none left: "Formuoti"

  std::optional<std::filesystem::path> chooseFile(QWidget*, const std::string& filter) override;
  // Takes its answer from `answers` as well; records where it was to start.
  std::optional<std::filesystem::path> chooseSaveFile(
      QWidget*, const std::string& filter, const std::filesystem::path& suggested) override;
  std::vector<std::filesystem::path> suggested;
  void showMessage(QWidget*, MessageKind kind, const std::string& text) override;
  void showReport(QWidget*, const runs::RunReport& report, char decimalSeparator) override;
  bool reviewDeclaration(QWidget*, const runs::WriteReview& review, char decimalSeparator) override;

  // "error: text" lines, for readable failures.
  std::vector<std::string> texts() const;
};

// The window shows the busy cursor.
bool busyWindow(const QWidget& widget);
// A dialog shown now would show the busy cursor: it is set for the whole application.
bool busyDialogs();

// Records what the window asks the desktop to open; may be called from the run's thread.
class RecordingOpener : public runs::DesktopOpener {
 public:
  std::atomic<bool> answer = true;
  bool open(const std::filesystem::path& path) override;
  std::vector<std::filesystem::path> opened() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::filesystem::path> opened_;
};

// Pauses a run at its n-th row until the test lets it go on.
class RowGate {
 public:
  explicit RowGate(int pauseAt) : pauseAt_(pauseAt) {}
  std::function<void()> hook();
  bool waitUntilPaused();  // processes the window's events meanwhile
  void release() { released_ = true; }
  int rows() const { return rows_; }

 private:
  int pauseAt_;
  std::atomic<int> rows_ = 0;
  std::atomic<bool> paused_ = false;
  std::atomic<bool> released_ = false;
};

// A program folder, the window on it and the scripted surroundings.
class WindowDriver {
 public:
  WindowDriver();
  ~WindowDriver();

  void makeWindow();  // again, e.g. after writing a payer list
  gui::MainWindow& window() { return *window_; }

  template <typename T = QWidget>
  T& control(const char* name) {
    T* found = window_->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return *found;
  }
  std::string text(const char* label) { return control<QLabel>(label).text().toStdString(); }
  bool enabled(const char* name) { return control(name).isEnabled(); }

  // Chooses `file` through the file dialog of "Pasirinkti darbaknygę".
  void chooseWorkbook(const std::filesystem::path& file);
  // Clicks and waits until the run it started has ended.
  void runWith(const char* button);
  bool waitForRunEnd();

  // A workbook with `lCount` L rows and `uCount` U rows in the program folder.
  std::filesystem::path workbook(int lCount, int uCount, const std::string& name = "in.xlsx");
  std::filesystem::path declaration() const;

  TempDir folder;
  ScriptedServices services;
  RecordingOpener opener;

 private:
  std::unique_ptr<gui::MainWindow> window_;
};

}  // namespace kvd507::test
