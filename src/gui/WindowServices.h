#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "runs/RunReport.h"
#include "runs/WriteReview.h"

class QWidget;

namespace kvd507::gui {

// The window's questions and messages, behind an interface so that tests answer and record them
// instead of a person. Every call is made on the interface thread and is modal.
class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // A file-open dialog with one filter, e.g. "XLS, XLSX (*.xls *.xlsx)"; nothing when cancelled.
  virtual std::optional<std::filesystem::path> chooseFile(QWidget* parent,
                                                          const std::string& filter) = 0;

  // A file-save dialog with one filter, starting at `suggested`; nothing when cancelled. The
  // dialog has asked before an existing file is chosen. Surroundings without one cancel.
  virtual std::optional<std::filesystem::path> chooseSaveFile(
      QWidget* /*parent*/, const std::string& /*filter*/,
      const std::filesystem::path& /*suggested*/) {
    return std::nullopt;
  }

  enum class MessageKind { Error, Information, Warning };
  // A message box with one OK button.
  virtual void showMessage(QWidget* parent, MessageKind kind, const std::string& text) = 0;
  // The same with the technical detail (English, as the system said it) behind "Išsamiau";
  // surroundings that do not show it keep the default.
  virtual void showMessage(QWidget* parent, MessageKind kind, const std::string& text,
                           const std::string& /*detail*/) {
    showMessage(parent, kind, text);
  }

  // After a run that found something: the summary and the findings, amounts with
  // `decimalSeparator`. Surroundings that show nothing (a screenshot, a bench) keep the default.
  virtual void showReport(QWidget*, const runs::RunReport&, char) {}

  // "Formos peržiūra": after reading a workbook, before every write. True writes the
  // declaration ("Formuoti"), false keeps the previous one ("Atšaukti").
  virtual bool reviewDeclaration(QWidget*, const runs::WriteReview&, char) { return true; }
};

// The real dialogs and message boxes. File dialogs start in the folder chosen from last, kept
// in the program folder's settings file in a section of its own; without a program folder they
// start where Qt starts them.
class QtWindowServices : public WindowServices {
 public:
  QtWindowServices() = default;
  explicit QtWindowServices(std::filesystem::path programFolder)
      : programFolder_(std::move(programFolder)) {}

  std::optional<std::filesystem::path> chooseFile(QWidget* parent,
                                                  const std::string& filter) override;
  std::optional<std::filesystem::path> chooseSaveFile(
      QWidget* parent, const std::string& filter, const std::filesystem::path& suggested) override;
  void showMessage(QWidget* parent, MessageKind kind, const std::string& text) override;
  void showMessage(QWidget* parent, MessageKind kind, const std::string& text,
                   const std::string& detail) override;
  void showReport(QWidget* parent, const runs::RunReport& report, char decimalSeparator) override;
  bool reviewDeclaration(QWidget* parent, const runs::WriteReview& review,
                         char decimalSeparator) override;

 private:
  std::optional<std::filesystem::path> programFolder_;
};

}  // namespace kvd507::gui
