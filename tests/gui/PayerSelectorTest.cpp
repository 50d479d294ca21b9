#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>

#include "ModalHelper.h"
#include "QtPrinters.h"
#include "gui/ErrorReporter.h"
#include "gui/PayerSelector.h"
#include "support/CaseName.h"
#include "support/TempDir.h"

namespace kvd507::gui {
namespace {

using test::readFile;
using test::whenModalShows;
using test::writeFile;

class RecordedErrors : public ErrorReporter {
 public:
  void showError(QWidget*, const QString& text) override { texts << text; }
  bool confirmRemoval(QWidget*, const QString& question) override {
    questions << question;
    return removeAnswer;
  }
  QStringList texts;
  QStringList questions;
  bool removeAnswer = true;
};

// The payer controls of the main window, on a window of their own.
struct PayerControls {
  PayerControls() {
    auto* layout = new QVBoxLayout(&window);
    for (QWidget* widget : std::initializer_list<QWidget*>{cb_asmuo, lb_kodas, dt_metai, btn_new,
                                                           btn_koreguoti, btn_salinti}) {
      layout->addWidget(widget);
    }
    lb_kodas->hide();
    dt_metai->addItems({"2020", "2021", "2022", "2023"});
    dt_metai->setCurrentIndex(2);
    window.show();
  }

  PayerSelector::Controls controls() {
    return {cb_asmuo, lb_kodas, dt_metai, btn_new, btn_koreguoti, btn_salinti};
  }

  QWidget window;
  QComboBox* cb_asmuo = new QComboBox;
  QLabel* lb_kodas = new QLabel("lb_kodas");
  QComboBox* dt_metai = new QComboBox;
  QPushButton* btn_new = new QPushButton("Įvesti naują");
  QPushButton* btn_koreguoti = new QPushButton("Koreguoti");
  QPushButton* btn_salinti = new QPushButton("Šalinti");
};

QStringList entries(const QComboBox* box) {
  QStringList names;
  for (int i = 0; i < box->count(); ++i) names << box->itemText(i);
  return names;
}

// Fills the payer dialog as a user would, once it shows, and presses one of its buttons.
void answerDialog(const QString& name, const QString& code, const char* button = "btn_ok",
                  QStringList* seen = nullptr) {
  whenModalShows([=](QWidget* dialog) {
    auto* namesField = dialog->findChild<QLineEdit*>("ed_pav");
    auto* codes = dialog->findChild<QLineEdit*>("ed_im_kodas");
    if (seen != nullptr) *seen << namesField->text() << codes->text();
    namesField->clear();
    codes->clear();
    QTest::keyClicks(namesField, name);
    QTest::keyClicks(codes, code);
    dialog->findChild<QPushButton*>(button)->click();
  });
}

// One selector over the controls, in a folder of its own, as the window makes it.
class PayerSelectorTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { ::setenv("LC_ALL", "lt_LT.UTF-8", 1); }

  std::filesystem::path list() const { return dir_ / "asmenys.txt"; }
  std::filesystem::path settings() const { return dir_ / "_nustatymai.ini"; }

  void start() {
    selector_ = std::make_unique<PayerSelector>(ui_->controls(), dir_.path(), *errors_);
    selector_->loadAtStart();
  }

  // Declared in the order they are made; the selector goes first, the folder last.
  test::TempDir dir_;
  std::unique_ptr<PayerControls> ui_ = std::make_unique<PayerControls>();
  std::unique_ptr<RecordedErrors> errors_ = std::make_unique<RecordedErrors>();
  std::unique_ptr<PayerSelector> selector_;
};

TEST_F(PayerSelectorTest, TheStoredSelectionIsRestoredAtStart) {
  // Windows-1257, an empty line before the stored payer.
  writeFile(list(),
            "Alfa;1\r\n\r\n\xD0"
            "aras;302\r\nGama\r\n");
  writeFile(settings(), "[NUSTATYMAI]\r\nasmuo=1\r\n");
  selector_ = std::make_unique<PayerSelector>(ui_->controls(), dir_.path(), *errors_);
  int shown = 0;
  int indexChanges = 0;
  QObject::connect(selector_.get(), &PayerSelector::selectionShown, [&] { ++shown; });
  QObject::connect(ui_->cb_asmuo, &QComboBox::currentIndexChanged, [&] { ++indexChanges; });
  EXPECT_TRUE(selector_->loadAtStart());
  EXPECT_EQ(shown, 1);
  // Filling is quiet, so that a window listening to every index change stores nothing.
  EXPECT_EQ(indexChanges, 0);
  EXPECT_EQ(entries(ui_->cb_asmuo), QStringList({"Alfa", "Šaras", "Gama"}));
  EXPECT_EQ(ui_->cb_asmuo->currentIndex(), 1);
  EXPECT_EQ(ui_->lb_kodas->text(), QString("302"));
  EXPECT_TRUE(errors_->texts.isEmpty());
  // Restoring is not a user's change: nothing is written.
  EXPECT_EQ(readFile(settings()), std::string("[NUSTATYMAI]\r\nasmuo=1\r\n"));
}

TEST_F(PayerSelectorTest, AStoredPositionBeyondTheListSelectsNothing) {
  writeFile(list(), "Alfa;1\r\n");
  writeFile(settings(), "[NUSTATYMAI]\r\nasmuo=1\r\n");
  start();
  EXPECT_EQ(ui_->cb_asmuo->count(), 1);
  EXPECT_EQ(ui_->cb_asmuo->currentIndex(), -1);
  EXPECT_EQ(ui_->lb_kodas->text(), QString("lb_kodas"));
}

TEST_F(PayerSelectorTest, AMissingListLeavesTheSelectorEmptyWithoutAWord) {
  start();
  EXPECT_EQ(ui_->cb_asmuo->count(), 0);
  EXPECT_TRUE(errors_->texts.isEmpty());
}

TEST_F(PayerSelectorTest, TheUsersChoiceOfPayerOrYearIsStored) {
  writeFile(list(), "Alfa;1\r\nBeta\r\n");
  start();
  ui_->cb_asmuo->setFocus();
  QTest::keyClick(ui_->cb_asmuo, Qt::Key_Down);
  EXPECT_EQ(ui_->cb_asmuo->currentIndex(), 1);
  EXPECT_EQ(ui_->lb_kodas->text(), QString("lb_kodas"));
  // The position, and the payer's line that keeps it with its payer.
  EXPECT_EQ(readFile(settings()), std::string("[NUSTATYMAI]\r\nasmuo=1\r\nasmuo_eilute=Beta\r\n"));

  // A year reads the list again and writes the same position again.
  writeFile(list(), "Alfa;1\r\nBeta;7\r\nGama;3\r\n");
  std::filesystem::remove(settings());
  QTest::keyClick(ui_->dt_metai, Qt::Key_Down);
  EXPECT_EQ(ui_->dt_metai->currentText(), QString("2023"));
  EXPECT_EQ(entries(ui_->cb_asmuo), QStringList({"Alfa", "Beta", "Gama"}));
  EXPECT_EQ(ui_->lb_kodas->text(), QString("7"));
  EXPECT_EQ(readFile(settings()),
            std::string("[NUSTATYMAI]\r\nasmuo=1\r\nasmuo_eilute=Beta;7\r\n"));
  EXPECT_TRUE(errors_->texts.isEmpty());
}

// Whichever payer is selected, an addition selects the new payer wherever it sorts, and the
// payer shown is stored at once: a restart shows it again.
struct Addition {
  const char* what;
  QString name;
  QStringList order;
  int selected;
  int stored;
};

void PrintTo(const Addition& c, std::ostream* out) {
  *out << c.what;
}

class PayerSelectorAddition : public PayerSelectorTest,
                              public testing::WithParamInterface<Addition> {};

TEST_P(PayerSelectorAddition, SelectsTheNewPayerWhereverItSorts) {
  const auto& [what, name, order, selected, stored] = GetParam();
  writeFile(list(), "Alfa;1\r\nBeta;2\r\nGama;3\r\n");
  writeFile(settings(), "[NUSTATYMAI]\r\nasmuo=2\r\n");
  start();
  EXPECT_EQ(ui_->cb_asmuo->currentText(), QString("Gama"));
  answerDialog(name, "9");
  ui_->btn_new->click();
  EXPECT_EQ(entries(ui_->cb_asmuo), order);
  EXPECT_EQ(ui_->cb_asmuo->currentIndex(), selected);
  EXPECT_EQ(ui_->cb_asmuo->currentText(), name);
  EXPECT_EQ(ui_->lb_kodas->text(), QString("9"));
  // Stored with its line, so that the selection follows the payer, not the position.
  EXPECT_EQ(readFile(settings()), "[NUSTATYMAI]\r\nasmuo=" + std::to_string(stored) +
                                      "\r\nasmuo_eilute=" + name.toStdString() + ";9\r\n");

  start();
  EXPECT_EQ(ui_->cb_asmuo->currentText(), name);
  EXPECT_EQ(ui_->lb_kodas->text(), QString("9"));
  EXPECT_TRUE(errors_->texts.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Places, PayerSelectorAddition,
    testing::Values(Addition{"first", "Aa", {"Aa", "Alfa", "Beta", "Gama"}, 0, 0},
                    Addition{"middle", "Bz", {"Alfa", "Beta", "Bz", "Gama"}, 2, 2},
                    Addition{"last", "Zeta", {"Alfa", "Beta", "Gama", "Zeta"}, 3, 3}),
    test::NamedAfterWhat());

TEST_F(PayerSelectorTest, ACancelledAdditionChangesNothing) {
  writeFile(list(), "Alfa;1\r\nGama;3\r\n");
  start();
  answerDialog("Delta", "4", "btn_cancel");
  ui_->btn_new->click();
  EXPECT_EQ(readFile(list()), std::string("Alfa;1\r\nGama;3\r\n"));
  EXPECT_EQ(ui_->cb_asmuo->currentText(), QString("Alfa"));
  EXPECT_FALSE(std::filesystem::exists(settings()));
}

TEST_F(PayerSelectorTest, EditingThroughTheDialogFollowsTheEditedPayer) {
  writeFile(list(), "Alfa;1\r\nBeta;2\r\nGama;3\r\n");
  writeFile(settings(), "[NUSTATYMAI]\r\nasmuo=0\r\n");
  start();
  QStringList opened;
  answerDialog("Zeta", "1", "btn_ok", &opened);
  ui_->btn_koreguoti->click();
  EXPECT_EQ(opened, QStringList({"Alfa", "1"}));
  EXPECT_EQ(readFile(list()), std::string("Beta;2\r\nGama;3\r\nZeta;1\r\n"));
  EXPECT_EQ(ui_->cb_asmuo->currentText(), QString("Zeta"));
  EXPECT_EQ(ui_->lb_kodas->text(), QString("1"));
  // The edited payer was the stored one: the stored position goes with it.
  EXPECT_EQ(readFile(settings()),
            std::string("[NUSTATYMAI]\r\nasmuo=2\r\nasmuo_eilute=Zeta;1\r\n"));

  // Another payer edited: it is the one shown, and so the one stored.
  ui_->cb_asmuo->setCurrentIndex(0);
  answerDialog("Ziedas", "2");
  ui_->btn_koreguoti->click();
  EXPECT_EQ(entries(ui_->cb_asmuo), QStringList({"Gama", "Zeta", "Ziedas"}));
  EXPECT_EQ(ui_->cb_asmuo->currentText(), QString("Ziedas"));
  EXPECT_EQ(readFile(settings()),
            std::string("[NUSTATYMAI]\r\nasmuo=2\r\nasmuo_eilute=Ziedas;2\r\n"));
  start();
  EXPECT_EQ(ui_->cb_asmuo->currentText(), QString("Ziedas"));
}

TEST_F(PayerSelectorTest, RemovingAsksNamingThePayerAndForgetsIt) {
  writeFile(list(), "Alfa;1\r\nBeta\r\nGama;3\r\n");
  writeFile(settings(), "[NUSTATYMAI]\r\nasmuo=2\r\n");
  start();
  // An addition selects the new payer, and stores it.
  answerDialog("Aa", "9");
  ui_->btn_new->click();
  EXPECT_EQ(ui_->cb_asmuo->currentText(), QString("Aa"));
  EXPECT_EQ(readFile(settings()), std::string("[NUSTATYMAI]\r\nasmuo=0\r\nasmuo_eilute=Aa;9\r\n"));

  // Cancelled: nothing changes.
  errors_->removeAnswer = false;
  ui_->btn_salinti->click();
  EXPECT_EQ(errors_->questions, QStringList({"Pašalinti mokėtoją „Aa“ (kodas 9) iš sąrašo?"}));
  EXPECT_EQ(readFile(list()), std::string("Aa;9\r\nAlfa;1\r\nBeta\r\nGama;3\r\n"));

  // The payer shown, which is the one stored: none is selected or stored afterwards.
  errors_->removeAnswer = true;
  ui_->btn_salinti->click();
  EXPECT_EQ(readFile(list()), std::string("Alfa;1\r\nBeta\r\nGama;3\r\n"));
  EXPECT_EQ(ui_->cb_asmuo->currentIndex(), -1);
  EXPECT_EQ(readFile(settings()), std::string("[NUSTATYMAI]\r\nasmuo=-1\r\n"));

  // A payer without a code is named without one.
  errors_->questions.clear();
  errors_->removeAnswer = false;
  ui_->cb_asmuo->setCurrentIndex(1);
  ui_->btn_salinti->click();
  EXPECT_EQ(errors_->questions, QStringList({"Pašalinti mokėtoją „Beta“ iš sąrašo?"}));

  // The stored payer: nothing is selected or stored, and its code is forgotten.
  errors_->removeAnswer = true;
  ui_->cb_asmuo->setCurrentIndex(2);
  EXPECT_EQ(ui_->lb_kodas->text(), QString("3"));
  ui_->btn_salinti->click();
  EXPECT_EQ(entries(ui_->cb_asmuo), QStringList({"Alfa", "Beta"}));
  EXPECT_EQ(ui_->cb_asmuo->currentIndex(), -1);
  EXPECT_EQ(ui_->lb_kodas->text(), QString("lb_kodas"));
  EXPECT_EQ(readFile(settings()), std::string("[NUSTATYMAI]\r\nasmuo=-1\r\n"));

  // Nothing selected: nothing to ask about.
  errors_->questions.clear();
  ui_->btn_salinti->click();
  EXPECT_TRUE(errors_->questions.isEmpty());
  EXPECT_EQ(readFile(list()), std::string("Alfa;1\r\nBeta\r\n"));
  EXPECT_TRUE(errors_->texts.isEmpty());
}

TEST_F(PayerSelectorTest, APayerWithoutACodeOpensWithAnEmptyCodeField) {
  writeFile(list(), "Alfa\r\n");
  start();
  EXPECT_EQ(ui_->lb_kodas->text(), QString("lb_kodas"));
  QStringList opened;
  answerDialog("Alfa", "5", "btn_ok", &opened);
  ui_->btn_koreguoti->click();
  EXPECT_EQ(opened, QStringList({"Alfa", ""}));
  EXPECT_EQ(readFile(list()), std::string("Alfa;5\r\n"));
}

TEST_F(PayerSelectorTest, AListThatCannotBeReadIsReportedAndTheWindowGoesOn) {
  std::filesystem::create_directory(list());
  selector_ = std::make_unique<PayerSelector>(ui_->controls(), dir_.path(), *errors_);
  EXPECT_FALSE(selector_->loadAtStart());
  EXPECT_EQ(errors_->texts, QStringList({"Nepavyko perskaityti failo asmenys.txt: tai ne "
                                         "paprastas failas, o aplankas, kanalas ar įrenginys"}));
  EXPECT_EQ(ui_->cb_asmuo->count(), 0);

  // Mended by hand: the next change of year shows the list.
  std::filesystem::remove(list());
  writeFile(list(), "Alfa;1\r\n");
  QTest::keyClick(ui_->dt_metai, Qt::Key_Down);
  EXPECT_EQ(entries(ui_->cb_asmuo), QStringList({"Alfa"}));
}

TEST_F(PayerSelectorTest, EditingAMissingListIsReportedAndCreatesNothing) {
  start();
  answerDialog("Alfa", "1");
  ui_->btn_koreguoti->click();
  EXPECT_EQ(errors_->texts,
            QStringList({"Nepavyko perskaityti failo asmenys.txt: tokio failo ar aplanko nėra"}));
  EXPECT_FALSE(std::filesystem::exists(list()));
}

TEST_F(PayerSelectorTest, ErrorsAppearInAModalMessageBox) {
  std::filesystem::create_directory(list());
  MessageBoxErrorReporter boxes;
  selector_ = std::make_unique<PayerSelector>(ui_->controls(), dir_.path(), boxes);
  QString shown;
  whenModalShows([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    shown = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  selector_->loadAtStart();
  EXPECT_EQ(shown, QString("Nepavyko perskaityti failo asmenys.txt: tai ne paprastas failas, o "
                           "aplankas, kanalas ar įrenginys"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  // The window is still usable: an addition works once the list can be written.
  std::filesystem::remove(list());
  answerDialog("Alfa", "1");
  ui_->btn_new->click();
  EXPECT_EQ(entries(ui_->cb_asmuo), QStringList({"Alfa"}));

  // The question before a removal: Escape and Enter keep the payer, "Šalinti" removes it.
  for (const char* answer : {"escape", "enter", "Šalinti"}) {
    SCOPED_TRACE(answer);
    QStringList buttons;
    whenModalShows([&, answer](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      shown = box->text();
      buttons.clear();
      for (QAbstractButton* button : box->buttons()) buttons << button->text();
      if (answer == std::string("escape")) {
        QTest::keyClick(box, Qt::Key_Escape);
      } else if (answer == std::string("enter")) {
        QTest::keyClick(box, Qt::Key_Return);
      } else {
        for (QAbstractButton* button : box->buttons()) {
          if (button->text() == answer) button->click();
        }
      }
    });
    ui_->btn_salinti->click();
    EXPECT_EQ(shown, QString("Pašalinti mokėtoją „Alfa“ (kodas 1) iš sąrašo?"));
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"Atšaukti", "Šalinti"}));
    EXPECT_EQ(ui_->cb_asmuo->count(), answer == std::string("Šalinti") ? 0 : 1);
  }
}

}  // namespace
}  // namespace kvd507::gui
