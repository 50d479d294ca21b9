#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class Tfrm_naujas_xml;
}

namespace kvd507::gui {

class FieldLimit;

// The payer dialog: one payer's name and code, typed or corrected. The caller fills the fields,
// shows it modally and reads them back after "Įvesti"; the dialog itself touches no file.
class Tfrm_naujas_xml : public QDialog {
  Q_OBJECT

 public:
  // How many characters the user can enter; a longer text put there by the caller stays whole.
  static constexpr int kNameLimit = 45;
  static constexpr int kCodeLimit = 11;

  explicit Tfrm_naujas_xml(QWidget* parent = nullptr);
  ~Tfrm_naujas_xml() override;

  // The fields as the caller sets and reads them. lb_id carries the position of the payer being
  // edited, as decimal text.
  void setName(const QString& name);
  void setCode(const QString& code);
  void setId(const QString& id);
  QString name() const;
  QString code() const;
  QString id() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void ed_pavChange();
  void ed_im_kodasChange();

 private:
  void enableOk();
  void pasteCode();

  std::unique_ptr<Ui::Tfrm_naujas_xml> ui_;
  FieldLimit* nameLimit_ = nullptr;  // owned by their fields
  FieldLimit* codeLimit_ = nullptr;
};

}  // namespace kvd507::gui
