#include "gui/PayerDialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QValidator>
#include <algorithm>

#include "gui/EnterOnButtons.h"
#include "payers/PayerLine.h"
#include "ui_PayerDialog.h"

namespace kvd507::gui {

// What the user enters into a field, limited: the text an edit puts in is cut so that the field
// holds no more than `limit` characters, or no more than the caller's text when that was longer;
// in the code field that text keeps only its digits, so a pasted "LT 123-45" gives "12345". The
// field's own maximum length is not used: setting it anew sets the text anew, which moves the
// cursor to the end and forgets the undo steps.
class FieldLimit : public QValidator {
 public:
  FieldLimit(QLineEdit* field, int limit, bool digitsOnly)
      : QValidator(field), limit_(limit), longest_(limit), digitsOnly_(digitsOnly) {}

  // Before the caller sets a text: it goes in whole, and may be corrected within its length.
  void callerSets(const QString& text) {
    longest_ = std::max(limit_, static_cast<int>(text.size()));
    accepted_ = text;
  }
  // After every change: the text to which the next edit is compared.
  void accept(const QString& text) { accepted_ = text; }

  // What of `typed` an edit that keeps `kept` characters of the text can put in.
  QString fit(QString typed, qsizetype kept) const {
    if (digitsOnly_) typed.removeIf([](QChar c) { return c < u'0' || c > u'9'; });
    typed.truncate(std::max<qsizetype>(longest_ - kept, 0));
    return typed;
  }

  State validate(QString& input, int& position) const override {
    if (input == accepted_) return Acceptable;
    // The edit replaced the middle of the text accepted before with the middle of `input`.
    const qsizetype shorter = std::min(input.size(), accepted_.size());
    qsizetype head = 0;
    while (head < shorter && input[head] == accepted_[head]) ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           input[input.size() - 1 - tail] == accepted_[accepted_.size() - 1 - tail]) {
      ++tail;
    }
    const QString typed = input.mid(head, input.size() - head - tail);
    const QString taken = fit(typed, head + tail);
    if (taken == typed) return Acceptable;
    // Nothing of it fits: the edit is refused whole, and text, cursor and undo steps stay.
    if (taken.isEmpty()) return Invalid;
    // Setting the text so forgets the undo steps; a paste by keyboard is fitted before it
    // reaches the field, and keeps them.
    input = input.left(head) + taken + input.right(tail);
    position = static_cast<int>(head + taken.size());
    return Acceptable;
  }

 private:
  int limit_;
  int longest_;
  bool digitsOnly_;
  QString accepted_;
};

namespace {

// A typed character the code field takes: digits, and Backspace and Tab, which edit and move.
bool codeFieldTakes(QChar c) {
  return (c >= u'0' && c <= u'9') || c == u'\b' || c == u'\t';
}

// Keys that type nothing into the field keep their usual work even when they carry a control
// character: Delete edits, Escape reaches the dialog and cancels it, and Ctrl+A, Ctrl+C, Ctrl+V,
// Ctrl+X and Ctrl+Z select, copy, paste, cut and undo; what a paste brings is still limited.
bool typesNothing(const QKeyEvent& key) {
  return key.text().isEmpty() || key.key() == Qt::Key_Delete || key.key() == Qt::Key_Escape ||
         (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) != 0;
}

}  // namespace

PayerDialog::PayerDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::PayerDialog>()) {
  ui_->setupUi(this);
  setFixedSize(size());
  ui_->btn_ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
  ui_->btn_cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  nameLimit_ = new FieldLimit(ui_->ed_pav, kNameLimit, false);
  codeLimit_ = new FieldLimit(ui_->ed_im_kodas, kCodeLimit, true);
  ui_->ed_pav->setValidator(nameLimit_);
  ui_->ed_im_kodas->setValidator(codeLimit_);
  ui_->ed_im_kodas->installEventFilter(this);
  // There is no default button: Enter presses the button that has the focus, and only that.
  letEnterPressButtons();

  connect(ui_->ed_pav, &QLineEdit::textChanged, this, &PayerDialog::acceptNameEdit);
  connect(ui_->ed_im_kodas, &QLineEdit::textChanged, this, &PayerDialog::acceptCodeEdit);
  connect(ui_->btn_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

PayerDialog::~PayerDialog() = default;

void PayerDialog::setName(const QString& name) {
  nameLimit_->callerSets(name);
  ui_->ed_pav->setText(name);
}

void PayerDialog::setCode(const QString& code) {
  // Letters that reach the code field are capitals, however they got there.
  const QString upper = code.toUpper();
  codeLimit_->callerSets(upper);
  ui_->ed_im_kodas->setText(upper);
}

QString PayerDialog::name() const {
  return ui_->ed_pav->text();
}

QString PayerDialog::code() const {
  return ui_->ed_im_kodas->text();
}

void PayerDialog::acceptNameEdit() {
  nameLimit_->accept(ui_->ed_pav->text());
  updateOkAndHints();
}

void PayerDialog::acceptCodeEdit() {
  codeLimit_->accept(ui_->ed_im_kodas->text());
  updateOkAndHints();
}

// Both fields filled, and nothing in the name that would take its line of the payer list apart
// (the hint under the name says what). Nothing is trimmed: a name of spaces counts as a name.
void PayerDialog::updateOkAndHints() {
  const auto breaker = payers::findLineBreaker(ui_->ed_pav->text().toStdString());
  ui_->lb_pastaba->setText(
      breaker ? QString::fromStdString("Pavadinime " + payers::lineBreakerText(*breaker))
              : QString());
  ui_->btn_ok->setEnabled(!breaker && !ui_->ed_pav->text().isEmpty() &&
                          !ui_->ed_im_kodas->text().isEmpty());
  // The name's limit is told rather than met silently: how many characters may still follow.
  const auto length = ui_->ed_pav->text().size();
  ui_->lb_liko->setText(length <= kNameLimit
                            ? QString("liko %1 iš %2").arg(kNameLimit - length).arg(kNameLimit)
                            : QString("%1 iš %2").arg(length).arg(kNameLimit));
  // Any code is accepted, as the payer list allows; one of another length is probably mistyped.
  const auto code = ui_->ed_im_kodas->text().size();
  ui_->lb_kodo_pastaba->setText(
      code != 0 && code != 9 && code != 11
          ? QStringLiteral("Įmonės kodas turi 9 skaitmenis, asmens kodas – 11")
          : QString());
}

// The digits of the clipboard's text, as many as fit, in place of the selection, as one step
// that Ctrl+Z takes back.
void PayerDialog::pasteCode() {
  QLineEdit* field = ui_->ed_im_kodas;
  const qsizetype kept = field->text().size() - field->selectedText().size();
  const QString digits = codeLimit_->fit(QGuiApplication::clipboard()->text(), kept);
  if (!digits.isEmpty() || field->hasSelectedText()) field->insert(digits);
}

bool PayerDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || watched != ui_->ed_im_kodas) {
    return QDialog::eventFilter(watched, event);
  }
  const auto& key = static_cast<const QKeyEvent&>(*event);
  if (key.matches(QKeySequence::Paste)) {
    pasteCode();
    return true;
  }
  // Shortcuts arrive as control characters too, and go the same way.
  if (typesNothing(key)) return false;
  const QString typed = key.text();
  return !std::all_of(typed.begin(), typed.end(), codeFieldTakes);
}

}  // namespace kvd507::gui
