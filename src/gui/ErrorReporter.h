#pragma once

#include <QString>

class QWidget;

namespace kvd507::gui {

// Shows an error that no operation handled itself: a modal message box with the error's text
// and one OK button, after which the window goes on as before. Tests put in their own.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void showError(QWidget* parent, const QString& text) = 0;
};

// The real one: QMessageBox::critical over the parent, titled like the parent's window.
class MessageBoxErrorReporter : public ErrorReporter {
 public:
  void showError(QWidget* parent, const QString& text) override;
};

}  // namespace kvd507::gui
