#include <gtest/gtest.h>

#include <QDialog>
#include <QPointer>
#include <QTest>

#include "ModalHelper.h"
#include "QtPrinters.h"

namespace kvd507::test {
namespace {

QDialog* modalDialog(const QString& title) {
  auto* dialog = new QDialog;
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(title);
  dialog->setModal(true);
  return dialog;
}

TEST(ModalHelper, AnAnswerActsOnTheModalWindowOnceAndLeavesNothing) {
  int calls = 0;
  QString seen;
  whenModalShows([&](QWidget* modal) {
    ++calls;
    seen = modal->windowTitle();
    static_cast<QDialog*>(modal)->reject();
  });
  QDialog dialog;
  dialog.setWindowTitle("Asmuo");
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_EQ(seen, QString("Asmuo"));

  // Given once: a second window is not answered.
  QPointer<QDialog> second = modalDialog("Antras");
  second->show();
  QTest::qWait(30);
  EXPECT_EQ(calls, 1);
  const ModalLeftovers left = clearModalLeftovers();
  EXPECT_EQ(left.answersNotGiven, 0);
  EXPECT_EQ(left.windowsLeftOpen, QStringList({"Antras"}));
  EXPECT_TRUE(second.isNull());
}

// An answer whose window never showed is told, and stops looking: it must not act on a window
// of a later test.
TEST(ModalHelper, AnAnswerNeverGivenIsToldAndStops) {
  bool acted = false;
  whenModalShows([&](QWidget*) { acted = true; });
  QTest::qWait(30);
  EXPECT_EQ(clearModalLeftovers().answersNotGiven, 1);

  QPointer<QDialog> later = modalDialog("Vėliau");
  later->show();
  QTest::qWait(30);
  EXPECT_FALSE(acted);
  EXPECT_EQ(clearModalLeftovers().windowsLeftOpen, QStringList({"Vėliau"}));
  EXPECT_TRUE(later.isNull());
}

}  // namespace
}  // namespace kvd507::test
