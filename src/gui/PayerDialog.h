#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class PayerDialog;
}

namespace kvd507::gui {

class FieldLimit;

// The payer dialog: one payer's name and code, typed or corrected. The caller fills the fields,
// shows it modally and reads them back after "Įvesti"; the dialog itself touches no file.
class PayerDialog : public QDialog {
  Q_OBJECT

 public:
  // How many characters the user can enter; a longer text put there by the caller stays whole.
  static constexpr int kNameLimit = 45;
  static constexpr int kCodeLimit = 11;

  explicit PayerDialog(QWidget* parent = nullptr);
  ~PayerDialog() override;

  // The fields as the caller sets and reads them. Which payer is being edited the caller keeps
  // itself: the dialog knows nothing of the payer list.
  void setName(const QString& name);
  void setCode(const QString& code);
  QString name() const;
  QString code() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  // After every change of a field's text, the user's or the caller's: the text the next edit is
  // compared to, and what "Įvesti" and the hints show.
  void acceptNameEdit();
  void acceptCodeEdit();

 private:
  void updateOkAndHints();
  void pasteCode();

  std::unique_ptr<Ui::PayerDialog> ui_;
  FieldLimit* nameLimit_ = nullptr;  // owned by their fields
  FieldLimit* codeLimit_ = nullptr;
};

}  // namespace kvd507::gui
