#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "gui/AboutDialog.h"
#include "gui/PayerDialog.h"
#include "gui/RunReportDialog.h"

namespace kvd507::gui {
namespace {

runs::RunReport oneFinding() {
  runs::RunReport report;
  report.findings = {{rows::Finding::Kind::NoPayer, "", 0, "", "nepasirinktas išmokų mokėtojas"}};
  return report;
}

std::unique_ptr<QDialog> payerDialog() {
  auto dialog = std::make_unique<PayerDialog>();
  dialog->setName("Alfa");
  dialog->setCode("1");
  return dialog;
}

QPushButton* named(QDialog& dialog, const char* name) {
  return dialog.findChild<QPushButton*>(name);
}

// Return and the keypad's Enter press the focused button of each of our dialogs.
TEST(EnterOnButtons, PressesTheFocusedButtonOfEveryDialog) {
  enum class Then { Accepted, Rejected, Copied };
  struct Case {
    const char* what;
    std::function<std::unique_ptr<QDialog>()> make;
    std::function<QPushButton*(QDialog&)> button;
    Then then;
  };
  const Case cases[] = {
      {"payer: Įvesti", payerDialog, [](QDialog& d) { return named(d, "btn_ok"); }, Then::Accepted},
      {"payer: Atšaukti", payerDialog, [](QDialog& d) { return named(d, "btn_cancel"); },
       Then::Rejected},
      {"findings: OK", [] { return std::make_unique<RunReportDialog>(oneFinding(), ','); },
       [](QDialog& d) { return d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok); },
       Then::Accepted},
      {"findings: Kopijuoti pastabas",
       [] { return std::make_unique<RunReportDialog>(oneFinding(), ','); },
       [](QDialog& d) { return named(d, "copy"); }, Then::Copied},
      {"Apie: Uždaryti",
       [] {
         return std::make_unique<AboutDialog>(AboutFacts{"1.0", ".", ""});
       },
       [](QDialog& d) { return named(d, "close"); }, Then::Accepted},
  };
  for (const Case& c : cases) {
    for (const auto& [key, modifier] : {std::pair{Qt::Key_Return, Qt::NoModifier},
                                        std::pair{Qt::Key_Enter, Qt::KeypadModifier}}) {
      QApplication::clipboard()->clear();
      std::unique_ptr<QDialog> dialog = c.make();
      dialog->show();
      QPushButton* button = c.button(*dialog);
      ASSERT_NE(button, nullptr) << c.what;
      QTest::keyClick(button, key, modifier);
      const std::string what =
          std::string(c.what) + (key == Qt::Key_Return ? ", Return" : ", Enter");
      switch (c.then) {
        case Then::Accepted:
        case Then::Rejected:
          EXPECT_FALSE(dialog->isVisible()) << what;
          EXPECT_EQ(dialog->result(),
                    c.then == Then::Accepted ? QDialog::Accepted : QDialog::Rejected)
              << what;
          break;
        case Then::Copied:
          EXPECT_TRUE(dialog->isVisible()) << what;
          EXPECT_FALSE(QApplication::clipboard()->text().isEmpty()) << what;
          break;
      }
    }
  }
}

TEST(EnterOnButtons, AHeldKeyPressesOnce) {
  RunReportDialog dialog(oneFinding(), ',');
  dialog.show();
  QPushButton* copy = named(dialog, "copy");
  int presses = 0;
  QObject::connect(copy, &QPushButton::clicked, [&presses] { ++presses; });
  QTest::keyClick(copy, Qt::Key_Return);
  for (int i = 0; i < 3; ++i) {
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    QApplication::sendEvent(copy, &repeat);
  }
  EXPECT_EQ(presses, 1);
}

}  // namespace
}  // namespace kvd507::gui
