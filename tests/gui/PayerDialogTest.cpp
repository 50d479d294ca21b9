#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/Tfrm_naujas_xml.h"

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

  static Fields fields(Tfrm_naujas_xml& dialog) {
    return {dialog.findChild<QLineEdit*>("ed_pav"), dialog.findChild<QLineEdit*>("ed_im_kodas"),
            dialog.findChild<QPushButton*>("btn_ok"), dialog.findChild<QPushButton*>("btn_cancel")};
  }

 private slots:
  void opensEmptyWithOkDisabled() {
    Tfrm_naujas_xml dialog;
    const Fields f = fields(dialog);
    QCOMPARE(dialog.windowTitle(), QString("Asmuo"));
    QVERIFY(f.name->text().isEmpty());
    QVERIFY(f.code->text().isEmpty());
    QVERIFY(!f.ok->isEnabled());
    QVERIFY(f.cancel->isEnabled());
    QCOMPARE(f.ok->text(), QString("Įvesti"));
    QCOMPARE(f.cancel->text(), QString("Atšaukti"));
    QCOMPARE(dialog.id(), QString("lb_id"));
    QVERIFY(!dialog.findChild<QLabel*>("lb_id")->isVisible());
  }

  void okNeedsBothFieldsAndNothingMore() {
    Tfrm_naujas_xml dialog;
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
    Tfrm_naujas_xml edit;
    edit.setName("Alfa");
    edit.setCode("1");
    QVERIFY(fields(edit).ok->isEnabled());
    Tfrm_naujas_xml noCode;
    noCode.setName("Alfa");
    noCode.setCode("");
    QVERIFY(!fields(noCode).ok->isEnabled());
  }

  void theCodeFieldTakesOnlyTypedDigits() {
    Tfrm_naujas_xml dialog;
    dialog.show();
    const Fields f = fields(dialog);
    QTest::keyClicks(f.code, "a1 b-2.X;3");
    QCOMPARE(f.code->text(), QString("123"));
    QTest::keyClick(f.code, Qt::Key_Return);
    // Ctrl+V types a control character, which the filter discards with the paste it stands for.
    QGuiApplication::clipboard()->setText("99");
    QTest::keyClick(f.code, Qt::Key_V, Qt::ControlModifier);
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

  void pastedCodesAreCapitalisedAndCut() {
    Tfrm_naujas_xml dialog;
    dialog.show();
    const Fields f = fields(dialog);
    // What the context menu's Paste does: the text is inserted without the key filter.
    f.code->insert("lt 12-ab");
    QCOMPARE(f.code->text(), QString("LT 12-AB"));
    f.code->insert("3456789");
    QCOMPARE(f.code->text(), QString("LT 12-AB345"));
  }

  void limitsApplyToTypingNotToTheCaller() {
    Tfrm_naujas_xml dialog;
    dialog.show();
    const Fields f = fields(dialog);
    QTest::keyClicks(f.name, QString(50, u'a'));
    QCOMPARE(f.name->text().size(), 45);

    const QString longName(60, u'Ž');
    dialog.setName(longName);
    QCOMPARE(dialog.name(), longName);
    QTest::keyClick(f.name, Qt::Key_End);
    QTest::keyClicks(f.name, "x");
    QCOMPARE(dialog.name(), longName);
    dialog.setCode("1234567890123");
    QCOMPARE(dialog.code(), QString("1234567890123"));
  }

  void enterInAFieldDoesNothingEscapeCancels() {
    Tfrm_naujas_xml dialog;
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
      Tfrm_naujas_xml dialog;
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
