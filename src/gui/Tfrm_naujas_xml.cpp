#include "gui/Tfrm_naujas_xml.h"

#include <QKeyEvent>
#include <QStyle>
#include <QValidator>
#include <algorithm>

#include "gui/EnterOnButtons.h"
#include "ui_Tfrm_naujas_xml.h"

namespace kvd507::gui {
namespace {

// Letters that reach the code field become capitals, however they got there.
class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;

  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

// A typed character the code field takes: digits, and Backspace and Tab, which edit and move.
bool codeFieldTakes(QChar c) {
  return (c >= u'0' && c <= u'9') || c == u'\b' || c == u'\t';
}

// Keys that type nothing into the field keep their usual work even when they carry a control
// character: Delete edits, Escape reaches the dialog and cancels it.
bool typesNothing(const QKeyEvent& key) {
  return key.text().isEmpty() || key.key() == Qt::Key_Delete || key.key() == Qt::Key_Escape;
}

// The limit applies to what the user enters; a longer text set by the caller is shown whole and
// may be shortened, but never grown again.
void fitLimit(QLineEdit* field, int limit) {
  field->setMaxLength(std::max(limit, static_cast<int>(field->text().size())));
}

}  // namespace

Tfrm_naujas_xml::Tfrm_naujas_xml(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Tfrm_naujas_xml>()) {
  ui_->setupUi(this);
  setFixedSize(size());
  ui_->lb_id->hide();
  ui_->btn_ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
  ui_->btn_cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  ui_->ed_im_kodas->setValidator(new UpperCaseValidator(ui_->ed_im_kodas));
  ui_->ed_im_kodas->installEventFilter(this);
  // There is no default button: Enter presses the button that has the focus, and only that.
  letEnterPressButtons();

  connect(ui_->ed_pav, &QLineEdit::textChanged, this, &Tfrm_naujas_xml::ed_pavChange);
  connect(ui_->ed_im_kodas, &QLineEdit::textChanged, this, &Tfrm_naujas_xml::ed_im_kodasChange);
  connect(ui_->btn_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Tfrm_naujas_xml::~Tfrm_naujas_xml() = default;

void Tfrm_naujas_xml::setName(const QString& name) {
  ui_->ed_pav->setMaxLength(std::max(kNameLimit, static_cast<int>(name.size())));
  ui_->ed_pav->setText(name);
}

void Tfrm_naujas_xml::setCode(const QString& code) {
  ui_->ed_im_kodas->setMaxLength(std::max(kCodeLimit, static_cast<int>(code.size())));
  ui_->ed_im_kodas->setText(code);
}

void Tfrm_naujas_xml::setId(const QString& id) {
  ui_->lb_id->setText(id);
}

QString Tfrm_naujas_xml::name() const {
  return ui_->ed_pav->text();
}

QString Tfrm_naujas_xml::code() const {
  return ui_->ed_im_kodas->text();
}

QString Tfrm_naujas_xml::id() const {
  return ui_->lb_id->text();
}

void Tfrm_naujas_xml::ed_pavChange() {
  fitLimit(ui_->ed_pav, kNameLimit);
  enableOk();
}

void Tfrm_naujas_xml::ed_im_kodasChange() {
  fitLimit(ui_->ed_im_kodas, kCodeLimit);
  enableOk();
}

// Nothing is trimmed or checked: a name of spaces and a code of any length count.
void Tfrm_naujas_xml::enableOk() {
  ui_->btn_ok->setEnabled(!ui_->ed_pav->text().isEmpty() && !ui_->ed_im_kodas->text().isEmpty());
}

bool Tfrm_naujas_xml::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || watched != ui_->ed_im_kodas) {
    return QDialog::eventFilter(watched, event);
  }
  const auto& key = static_cast<const QKeyEvent&>(*event);
  // Shortcuts such as paste arrive as control characters too, and go the same way.
  if (typesNothing(key)) return false;
  const QString typed = key.text();
  return !std::all_of(typed.begin(), typed.end(), codeFieldTakes);
}

}  // namespace kvd507::gui
