#pragma once

#include <QString>

class QWidget;

namespace kvd507::gui {

// Shows an error that no operation handled itself: a modal message box with the error's text
// and one OK button, after which the window goes on as before. It also asks before a payer is
// removed. Tests put in their own.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void showError(QWidget* parent, const QString& text) = 0;
  // A question with the buttons "Šalinti" and "Atšaukti"; true for "Šalinti".
  virtual bool confirmRemoval(QWidget* parent, const QString& question) = 0;
};

// The question of confirmRemoval in a modal message box titled like the parent's window;
// "Atšaukti" is its default and Escape's button.
bool askRemovalInMessageBox(QWidget* parent, const QString& question);

// The real one: QMessageBox::critical over the parent, titled like the parent's window.
class MessageBoxErrorReporter : public ErrorReporter {
 public:
  void showError(QWidget* parent, const QString& text) override;
  bool confirmRemoval(QWidget* parent, const QString& question) override {
    return askRemovalInMessageBox(parent, question);
  }
};

}  // namespace kvd507::gui
