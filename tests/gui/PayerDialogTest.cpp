#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <ostream>
#include <string>

#include "QtPrinters.h"
#include "gui/PayerDialog.h"
#include "support/CaseName.h"

namespace kvd507::gui {
namespace {

struct Fields {
  QLineEdit* name;
  QLineEdit* code;
  QPushButton* ok;
  QPushButton* cancel;
};

Fields fields(PayerDialog& dialog) {
  return {dialog.findChild<QLineEdit*>("ed_pav"), dialog.findChild<QLineEdit*>("ed_im_kodas"),
          dialog.findChild<QPushButton*>("btn_ok"), dialog.findChild<QPushButton*>("btn_cancel")};
}

TEST(PayerDialog, OpensEmptyWithOkDisabled) {
  PayerDialog dialog;
  const Fields f = fields(dialog);
  EXPECT_EQ(dialog.windowTitle(), QString("Asmuo"));
  EXPECT_TRUE(f.name->text().isEmpty());
  EXPECT_TRUE(f.code->text().isEmpty());
  EXPECT_FALSE(f.ok->isEnabled());
  EXPECT_TRUE(f.cancel->isEnabled());
  EXPECT_EQ(f.ok->text(), QString("Įvesti"));
  EXPECT_EQ(f.cancel->text(), QString("Atšaukti"));
}

TEST(PayerDialog, OkNeedsBothFieldsAndNothingMore) {
  PayerDialog dialog;
  dialog.show();
  const Fields f = fields(dialog);
  QTest::keyClicks(f.name, "Alfa");
  EXPECT_FALSE(f.ok->isEnabled());
  QTest::keyClicks(f.code, "1");
  EXPECT_TRUE(f.ok->isEnabled());
  f.name->selectAll();
  QTest::keyClick(f.name, Qt::Key_Backspace);
  EXPECT_FALSE(f.ok->isEnabled());
  // A name of one space counts as a name.
  QTest::keyClick(f.name, Qt::Key_Space);
  EXPECT_TRUE(f.ok->isEnabled());
  QTest::keyClick(f.code, Qt::Key_Backspace);
  EXPECT_FALSE(f.ok->isEnabled());

  // The rule runs when the caller fills the fields as well.
  PayerDialog edit;
  edit.setName("Alfa");
  edit.setCode("1");
  EXPECT_TRUE(fields(edit).ok->isEnabled());
  PayerDialog noCode;
  noCode.setName("Alfa");
  noCode.setCode("");
  EXPECT_FALSE(fields(noCode).ok->isEnabled());
}

TEST(PayerDialog, TheCodeFieldTakesOnlyTypedDigits) {
  PayerDialog dialog;
  dialog.show();
  const Fields f = fields(dialog);
  QTest::keyClicks(f.code, "a1 b-2.X;3");
  EXPECT_EQ(f.code->text(), QString("123"));
  QTest::keyClick(f.code, Qt::Key_Return);
  EXPECT_EQ(f.code->text(), QString("123"));
  // Keys that type nothing work as usual.
  QTest::keyClick(f.code, Qt::Key_Home);
  QTest::keyClick(f.code, Qt::Key_Delete);
  EXPECT_EQ(f.code->text(), QString("23"));
  QTest::keyClick(f.code, Qt::Key_End);
  QTest::keyClick(f.code, Qt::Key_Backspace);
  EXPECT_EQ(f.code->text(), QString("2"));
  // A twelfth digit is refused.
  QTest::keyClicks(f.code, "34567890123");
  EXPECT_EQ(f.code->text(), QString("23456789012"));
}

// Correcting one digit of a code: the cursor stays where the user put it.
TEST(PayerDialog, DigitsAreTypedWhereTheCursorIs) {
  PayerDialog dialog;
  dialog.setName("UAB Alfa");
  dialog.setCode("302145678");
  dialog.show();
  const Fields f = fields(dialog);
  f.code->setFocus();
  QTest::keyClick(f.code, Qt::Key_Home);
  for (int i = 0; i < 3; ++i) QTest::keyClick(f.code, Qt::Key_Right);
  QTest::keyClick(f.code, Qt::Key_Delete);
  EXPECT_EQ(f.code->cursorPosition(), 3);
  QTest::keyClicks(f.code, "96");
  EXPECT_EQ(f.code->text(), QString("3029645678"));
  EXPECT_EQ(f.code->cursorPosition(), 5);
  // Refused characters leave it there too.
  QTest::keyClicks(f.code, "x ");
  EXPECT_EQ(f.code->cursorPosition(), 5);
  QTest::keyClick(f.code, Qt::Key_Backspace);
  EXPECT_EQ(f.code->text(), QString("302945678"));
  EXPECT_EQ(f.code->cursorPosition(), 4);
  // The same in the name.
  f.name->setFocus();
  QTest::keyClick(f.name, Qt::Key_Home);
  QTest::keyClick(f.name, Qt::Key_Right);
  QTest::keyClicks(f.name, "x");
  EXPECT_EQ(f.name->text(), QString("UxAB Alfa"));
  EXPECT_EQ(f.name->cursorPosition(), 2);
  QTest::keyClick(f.name, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(f.name->text(), QString("UAB Alfa"));
}

TEST(PayerDialog, ShortcutsWorkInTheCodeFieldAndPastesAreFiltered) {
  PayerDialog dialog;
  dialog.setCode("123");
  dialog.show();
  const Fields f = fields(dialog);
  f.code->setFocus();
  QTest::keyClick(f.code, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(f.code->selectedText(), QString("123"));
  QTest::keyClick(f.code, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString("123"));
  QTest::keyClick(f.code, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(f.code->text(), QString());
  QTest::keyClick(f.code, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(f.code->text(), QString("123"));

  // A paste keeps the digits of what it brings, as many as fit, where the cursor is.
  QTest::keyClick(f.code, Qt::Key_Home);
  QTest::keyClick(f.code, Qt::Key_Right);
  QGuiApplication::clipboard()->setText("LT 45-67");
  QTest::keyClick(f.code, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(f.code->text(), QString("1456723"));
  EXPECT_EQ(f.code->cursorPosition(), 5);
  QTest::keyClick(f.code, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(f.code->text(), QString("123"));
  QTest::keyClick(f.code, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(f.code->text(), QString("1456723"));
  f.code->setCursorPosition(5);
  QGuiApplication::clipboard()->setText("a8 9 0 1 2 3 4 5");
  QTest::keyClick(f.code, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(f.code->text(), QString("14567890123"));
  EXPECT_EQ(f.code->cursorPosition(), 9);
  // What the context menu's Paste does: the text is inserted without the key filter.
  f.code->clear();
  f.code->insert("lt 12-ab");
  EXPECT_EQ(f.code->text(), QString("12"));
  f.code->insert("x");
  EXPECT_EQ(f.code->text(), QString("12"));
}

TEST(PayerDialog, TheCallersCodeIsCapitalised) {
  PayerDialog dialog;
  dialog.setCode("lt 12-ab");
  EXPECT_EQ(dialog.code(), QString("LT 12-AB"));
}

TEST(PayerDialog, LimitsApplyToTypingNotToTheCaller) {
  PayerDialog dialog;
  dialog.show();
  const Fields f = fields(dialog);
  QTest::keyClicks(f.name, QString(50, u'a'));
  EXPECT_EQ(f.name->text().size(), 45);
  QGuiApplication::clipboard()->setText("bcd");
  QTest::keyClick(f.name, Qt::Key_Home);
  QTest::keyClick(f.name, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(f.name->text(), QString(45, u'a'));

  const QString longName(60, u'Ž');
  dialog.setName(longName);
  EXPECT_EQ(dialog.name(), longName);
  QTest::keyClick(f.name, Qt::Key_End);
  QTest::keyClicks(f.name, "x");
  EXPECT_EQ(dialog.name(), longName);
  // Shortened, it does not grow again.
  QTest::keyClick(f.name, Qt::Key_Backspace);
  QTest::keyClicks(f.name, "xy");
  EXPECT_EQ(dialog.name(), QString(59, u'Ž') + "x");
  dialog.setCode("1234567890123");
  EXPECT_EQ(dialog.code(), QString("1234567890123"));
}

// The name's limit is told as it nears, not met silently; a code that is neither 9 nor 11
// digits is still accepted, with a hint under it.
TEST(PayerDialog, TellsTheCharactersLeftAndHintsAtAnOddCode) {
  PayerDialog dialog;
  dialog.show();
  const Fields f = fields(dialog);
  auto* left = dialog.findChild<QLabel*>("lb_liko");
  auto* hint = dialog.findChild<QLabel*>("lb_kodo_pastaba");
  QTest::keyClicks(f.name, "Alfa");
  EXPECT_EQ(left->text(), QString("liko 41 iš 45"));
  QTest::keyClicks(f.name, QString(50, u'a'));
  EXPECT_EQ(left->text(), QString("liko 0 iš 45"));
  const struct {
    const char* code;
    bool hinted;
  } cases[] = {
      {"12345678", true}, {"123456789", false}, {"1234567890", true}, {"38001010000", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    f.code->clear();
    QTest::keyClicks(f.code, c.code);
    EXPECT_EQ(hint->text().isEmpty(), !c.hinted);
    EXPECT_TRUE(f.ok->isEnabled());
  }
}

// A name that would take its line of the payer list apart cannot be confirmed, and the line
// under the name says why.
struct BreakingName {
  const char* what;
  QString name;
  QString hint;
};

void PrintTo(const BreakingName& c, std::ostream* out) {
  *out << c.what;
}

class PayerDialogBreakingName : public testing::TestWithParam<BreakingName> {};

TEST_P(PayerDialogBreakingName, IsRefusedWithAHint) {
  const QString& name = GetParam().name;
  const QString& hint = GetParam().hint;
  PayerDialog dialog;
  dialog.setCode("1");
  dialog.show();
  const Fields f = fields(dialog);
  auto* hintLabel = dialog.findChild<QLabel*>("lb_pastaba");
  ASSERT_NE(hintLabel, nullptr);
  EXPECT_TRUE(hintLabel->text().isEmpty());
  // Pasted, as a line break or a tab cannot be typed into the field.
  QGuiApplication::clipboard()->setText(name);
  f.name->setFocus();
  QTest::keyClick(f.name, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(f.name->text(), name);
  EXPECT_FALSE(f.ok->isEnabled());
  EXPECT_EQ(hintLabel->text(), hint);
  EXPECT_TRUE(hintLabel->isVisible());
  EXPECT_LE(hintLabel->fontMetrics().horizontalAdvance(hint), hintLabel->width());
  EXPECT_GE(hintLabel->geometry().top(), f.name->geometry().bottom());
  // Mended, it can be confirmed.
  f.name->setText("UAB A");
  EXPECT_TRUE(f.ok->isEnabled());
  EXPECT_TRUE(hintLabel->text().isEmpty());
  // The same for a name the caller put there.
  dialog.setName(name);
  EXPECT_FALSE(f.ok->isEnabled());
  EXPECT_EQ(hintLabel->text(), hint);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PayerDialogBreakingName,
    testing::Values(BreakingName{"separator", "UAB A;B", "Pavadinime negali būti kabliataškio (;)"},
                    BreakingName{"line feed", "UAB A\nB", "Pavadinime negali būti eilutės lūžio"},
                    BreakingName{"carriage return", "UAB A\r",
                                 "Pavadinime negali būti eilutės lūžio"},
                    BreakingName{"tab", "UAB\tA", "Pavadinime negali būti valdymo ženklų"},
                    BreakingName{"C1 control", QString("UAB A") + QChar(0x85),
                                 "Pavadinime negali būti valdymo ženklų"}),
    test::NamedAfterWhat());

TEST(PayerDialog, EnterInAFieldDoesNothingEscapeCancels) {
  PayerDialog dialog;
  dialog.setName("Alfa");
  dialog.setCode("1");
  dialog.show();
  const Fields f = fields(dialog);
  QTest::keyClick(f.name, Qt::Key_Return);
  QTest::keyClick(f.code, Qt::Key_Enter);
  EXPECT_TRUE(dialog.isVisible());
  QTest::keyClick(f.code, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), int(QDialog::Rejected));
}

TEST(PayerDialog, EnterPressesTheFocusedButton) {
  for (const char* button : {"btn_ok", "btn_cancel"}) {
    SCOPED_TRACE(button);
    PayerDialog dialog;
    dialog.setName("Alfa");
    dialog.setCode("1");
    dialog.show();
    QTest::keyClick(dialog.findChild<QPushButton*>(button), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(),
              int(button == std::string("btn_ok") ? QDialog::Accepted : QDialog::Rejected));
  }
}

}  // namespace
}  // namespace kvd507::gui
