#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "runs/RunReport.h"

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

  enum class MessageKind { Error, Information, Warning };
  // A message box with one OK button.
  virtual void showMessage(QWidget* parent, MessageKind kind, const std::string& text) = 0;

  // After a run that found something: the summary and the findings, amounts with
  // `decimalSeparator`. Surroundings that show nothing (a screenshot, a bench) keep the default.
  virtual void showReport(QWidget*, const runs::RunReport&, char) {}
};

// The real dialogs and message boxes.
class QtWindowServices : public WindowServices {
 public:
  std::optional<std::filesystem::path> chooseFile(QWidget* parent,
                                                  const std::string& filter) override;
  void showMessage(QWidget* parent, MessageKind kind, const std::string& text) override;
  void showReport(QWidget* parent, const runs::RunReport& report, char decimalSeparator) override;
};

}  // namespace kvd507::gui
