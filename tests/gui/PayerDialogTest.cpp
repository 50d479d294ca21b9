#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/PayerDialog.h"

namespace kvd507::gui {

class PayerDialogTest : public QObject {
  Q_OBJECT

 private:
  struct Fields {
    QLineEdit* name;
    QLineEdit* code;
    QPushButton* ok;
    QPushButton* cancel;
  };

  static Fields fields(PayerDialog& dialog) {
    return {dialog.findChild<QLineEdit*>("ed_pav"), dialog.findChild<QLineEdit*>("ed_im_kodas"),
            dialog.findChild<QPushButton*>("btn_ok"), dialog.findChild<QPushButton*>("btn_cancel")};
  }

 private slots:
  void opensEmptyWithOkDisabled() {
    PayerDialog dialog;
    const Fields f = fields(dialog);
    QCOMPARE(dialog.windowTitle(), QString("Asmuo"));
    QVERIFY(f.name->text().isEmpty());
    QVERIFY(f.code->text().isEmpty());
    QVERIFY(!f.ok->isEnabled());
    QVERIFY(f.cancel->isEnabled());
    QCOMPARE(f.ok->text(), QString("Įvesti"));
    QCOMPARE(f.cancel->text(), QString("Atšaukti"));
  }

  void okNeedsBothFieldsAndNothingMore() {
    PayerDialog dialog;
    dialog.show();
    const Fields f = fields(dialog);
    QTest::keyClicks(f.name, "Alfa");
    QVERIFY(!f.ok->isEnabled());
    QTest::keyClicks(f.code, "1");
    QVERIFY(f.ok->isEnabled());
    f.name->selectAll();
    QTest::keyClick(f.name, Qt::Key_Backspace);
    QVERIFY(!f.ok->isEnabled());
    // A name of one space counts as a name.
    QTest::keyClick(f.name, Qt::Key_Space);
    QVERIFY(f.ok->isEnabled());
    QTest::keyClick(f.code, Qt::Key_Backspace);
    QVERIFY(!f.ok->isEnabled());

    // The rule runs when the caller fills the fields as well.
    PayerDialog edit;
    edit.setName("Alfa");
    edit.setCode("1");
    QVERIFY(fields(edit).ok->isEnabled());
    PayerDialog noCode;
    noCode.setName("Alfa");
    noCode.setCode("");
    QVERIFY(!fields(noCode).ok->isEnabled());
  }

  void theCodeFieldTakesOnlyTypedDigits() {
    PayerDialog dialog;
    dialog.show();
    const Fields f = fields(dialog);
    QTest::keyClicks(f.code, "a1 b-2.X;3");
    QCOMPARE(f.code->text(), QString("123"));
    QTest::keyClick(f.code, Qt::Key_Return);
    QCOMPARE(f.code->text(), QString("123"));
    // Keys that type nothing work as usual.
    QTest::keyClick(f.code, Qt::Key_Home);
    QTest::keyClick(f.code, Qt::Key_Delete);
    QCOMPARE(f.code->text(), QString("23"));
    QTest::keyClick(f.code, Qt::Key_End);
    QTest::keyClick(f.code, Qt::Key_Backspace);
    QCOMPARE(f.code->text(), QString("2"));
    // A twelfth digit is refused.
    QTest::keyClicks(f.code, "34567890123");
    QCOMPARE(f.code->text(), QString("23456789012"));
  }

  // Correcting one digit of a code: the cursor stays where the user put it.
  void digitsAreTypedWhereTheCursorIs() {
    PayerDialog dialog;
    dialog.setName("UAB Alfa");
    dialog.setCode("302145678");
    dialog.show();
    const Fields f = fields(dialog);
    f.code->setFocus();
    QTest::keyClick(f.code, Qt::Key_Home);
    for (int i = 0; i < 3; ++i) QTest::keyClick(f.code, Qt::Key_Right);
    QTest::keyClick(f.code, Qt::Key_Delete);
    QCOMPARE(f.code->cursorPosition(), 3);
    QTest::keyClicks(f.code, "96");
    QCOMPARE(f.code->text(), QString("3029645678"));
    QCOMPARE(f.code->cursorPosition(), 5);
    // Refused characters leave it there too.
    QTest::keyClicks(f.code, "x ");
    QCOMPARE(f.code->cursorPosition(), 5);
    QTest::keyClick(f.code, Qt::Key_Backspace);
    QCOMPARE(f.code->text(), QString("302945678"));
    QCOMPARE(f.code->cursorPosition(), 4);
    // The same in the name.
    f.name->setFocus();
    QTest::keyClick(f.name, Qt::Key_Home);
    QTest::keyClick(f.name, Qt::Key_Right);
    QTest::keyClicks(f.name, "x");
    QCOMPARE(f.name->text(), QString("UxAB Alfa"));
    QCOMPARE(f.name->cursorPosition(), 2);
    QTest::keyClick(f.name, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.name->text(), QString("UAB Alfa"));
  }

  void shortcutsWorkInTheCodeFieldAndPastesAreFiltered() {
    PayerDialog dialog;
    dialog.setCode("123");
    dialog.show();
    const Fields f = fields(dialog);
    f.code->setFocus();
    QTest::keyClick(f.code, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f.code->selectedText(), QString("123"));
    QTest::keyClick(f.code, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("123"));
    QTest::keyClick(f.code, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(f.code->text(), QString());
    QTest::keyClick(f.code, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.code->text(), QString("123"));

    // A paste keeps the digits of what it brings, as many as fit, where the cursor is.
    QTest::keyClick(f.code, Qt::Key_Home);
    QTest::keyClick(f.code, Qt::Key_Right);
    QGuiApplication::clipboard()->setText("LT 45-67");
    QTest::keyClick(f.code, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.code->text(), QString("1456723"));
    QCOMPARE(f.code->cursorPosition(), 5);
    QTest::keyClick(f.code, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.code->text(), QString("123"));
    QTest::keyClick(f.code, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.code->text(), QString("1456723"));
    f.code->setCursorPosition(5);
    QGuiApplication::clipboard()->setText("a8 9 0 1 2 3 4 5");
    QTest::keyClick(f.code, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.code->text(), QString("14567890123"));
    QCOMPARE(f.code->cursorPosition(), 9);
    // What the context menu's Paste does: the text is inserted without the key filter.
    f.code->clear();
    f.code->insert("lt 12-ab");
    QCOMPARE(f.code->text(), QString("12"));
    f.code->insert("x");
    QCOMPARE(f.code->text(), QString("12"));
  }

  void theCallersCodeIsCapitalised() {
    PayerDialog dialog;
    dialog.setCode("lt 12-ab");
    QCOMPARE(dialog.code(), QString("LT 12-AB"));
  }

  void limitsApplyToTypingNotToTheCaller() {
    PayerDialog dialog;
    dialog.show();
    const Fields f = fields(dialog);
    QTest::keyClicks(f.name, QString(50, u'a'));
    QCOMPARE(f.name->text().size(), 45);
    QGuiApplication::clipboard()->setText("bcd");
    QTest::keyClick(f.name, Qt::Key_Home);
    QTest::keyClick(f.name, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.name->text(), QString(45, u'a'));

    const QString longName(60, u'Ž');
    dialog.setName(longName);
    QCOMPARE(dialog.name(), longName);
    QTest::keyClick(f.name, Qt::Key_End);
    QTest::keyClicks(f.name, "x");
    QCOMPARE(dialog.name(), longName);
    // Shortened, it does not grow again.
    QTest::keyClick(f.name, Qt::Key_Backspace);
    QTest::keyClicks(f.name, "xy");
    QCOMPARE(dialog.name(), QString(59, u'Ž') + "x");
    dialog.setCode("1234567890123");
    QCOMPARE(dialog.code(), QString("1234567890123"));
  }

  // The name's limit is told as it nears, not met silently; a code that is neither 9 nor 11
  // digits is still accepted, with a hint under it.
  void tellsTheCharactersLeftAndHintsAtAnOddCode() {
    PayerDialog dialog;
    dialog.show();
    const Fields f = fields(dialog);
    auto* left = dialog.findChild<QLabel*>("lb_liko");
    auto* hint = dialog.findChild<QLabel*>("lb_kodo_pastaba");
    QTest::keyClicks(f.name, "Alfa");
    QCOMPARE(left->text(), QString("liko 41 iš 45"));
    QTest::keyClicks(f.name, QString(50, u'a'));
    QCOMPARE(left->text(), QString("liko 0 iš 45"));
    const struct {
      const char* code;
      bool hinted;
    } cases[] = {
        {"12345678", true}, {"123456789", false}, {"1234567890", true}, {"38001010000", false}};
    for (const auto& c : cases) {
      f.code->clear();
      QTest::keyClicks(f.code, c.code);
      QCOMPARE(hint->text().isEmpty(), !c.hinted);
      QVERIFY(f.ok->isEnabled());
    }
  }

  // A name that would take its line of the payer list apart cannot be confirmed, and the line
  // under the name says why.
  void aNameThatWouldBreakItsLineIsRefusedWithAHint_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");
    QTest::addRow("separator") << "UAB A;B"
                               << "Pavadinime negali būti kabliataškio (;)";
    QTest::addRow("line feed") << "UAB A\nB"
                               << "Pavadinime negali būti eilutės lūžio";
    QTest::addRow("carriage return") << "UAB A\r"
                                     << "Pavadinime negali būti eilutės lūžio";
    QTest::addRow("tab") << "UAB\tA"
                         << "Pavadinime negali būti valdymo ženklų";
    QTest::addRow("C1 control") << QString("UAB A") + QChar(0x85)
                                << "Pavadinime negali būti valdymo ženklų";
  }

  void aNameThatWouldBreakItsLineIsRefusedWithAHint() {
    QFETCH(QString, name);
    QFETCH(QString, hint);
    PayerDialog dialog;
    dialog.setCode("1");
    dialog.show();
    const Fields f = fields(dialog);
    auto* hintLabel = dialog.findChild<QLabel*>("lb_pastaba");
    QVERIFY(hintLabel->text().isEmpty());
    // Pasted, as a line break or a tab cannot be typed into the field.
    QGuiApplication::clipboard()->setText(name);
    f.name->setFocus();
    QTest::keyClick(f.name, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.name->text(), name);
    QVERIFY(!f.ok->isEnabled());
    QCOMPARE(hintLabel->text(), hint);
    QVERIFY(hintLabel->isVisible());
    QVERIFY(hintLabel->fontMetrics().horizontalAdvance(hint) <= hintLabel->width());
    QVERIFY(hintLabel->geometry().top() >= f.name->geometry().bottom());
    // Mended, it can be confirmed.
    f.name->setText("UAB A");
    QVERIFY(f.ok->isEnabled());
    QVERIFY(hintLabel->text().isEmpty());
    // The same for a name the caller put there.
    dialog.setName(name);
    QVERIFY(!f.ok->isEnabled());
    QCOMPARE(hintLabel->text(), hint);
  }

  void enterInAFieldDoesNothingEscapeCancels() {
    PayerDialog dialog;
    dialog.setName("Alfa");
    dialog.setCode("1");
    dialog.show();
    const Fields f = fields(dialog);
    QTest::keyClick(f.name, Qt::Key_Return);
    QTest::keyClick(f.code, Qt::Key_Enter);
    QVERIFY(dialog.isVisible());
    QTest::keyClick(f.code, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }

  void enterPressesTheFocusedButton() {
    for (const char* button : {"btn_ok", "btn_cancel"}) {
      PayerDialog dialog;
      dialog.setName("Alfa");
      dialog.setCode("1");
      dialog.show();
      QTest::keyClick(dialog.findChild<QPushButton*>(button), Qt::Key_Return);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.result(),
               int(button == std::string("btn_ok") ? QDialog::Accepted : QDialog::Rejected));
    }
  }
};

}  // namespace kvd507::gui

QTEST_MAIN(kvd507::gui::PayerDialogTest)
#include "PayerDialogTest.moc"
