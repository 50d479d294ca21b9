#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <cstdlib>
#include <memory>

#include "ModalHelper.h"
#include "gui/ErrorReporter.h"
#include "gui/PayerSelector.h"
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

}  // namespace

class PayerSelectorTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempDir> dir_;
  std::unique_ptr<PayerControls> ui_;
  std::unique_ptr<RecordedErrors> errors_;
  std::unique_ptr<PayerSelector> selector_;

  std::filesystem::path list() const { return *dir_ / "asmenys.txt"; }
  std::filesystem::path settings() const { return *dir_ / "_nustatymai.ini"; }

  void start() {
    selector_ = std::make_unique<PayerSelector>(ui_->controls(), dir_->path(), *errors_);
    selector_->loadAtStart();
  }

 private slots:
  void initTestCase() { ::setenv("LC_ALL", "lt_LT.UTF-8", 1); }

  void init() {
    dir_ = std::make_unique<test::TempDir>();
    ui_ = std::make_unique<PayerControls>();
    errors_ = std::make_unique<RecordedErrors>();
  }

  void cleanup() {
    selector_.reset();
    ui_.reset();
    dir_.reset();
  }

  void theStoredSelectionIsRestoredAtStart() {
    // Windows-1257, an empty line before the stored payer.
    writeFile(list(),
              "Alfa;1\r\n\r\n\xD0"
              "aras;302\r\nGama\r\n");
    writeFile(settings(), "[NUSTATYMAI]\r\nasmuo=1\r\n");
    selector_ = std::make_unique<PayerSelector>(ui_->controls(), dir_->path(), *errors_);
    int shown = 0;
    int indexChanges = 0;
    connect(selector_.get(), &PayerSelector::selectionShown, [&] { ++shown; });
    connect(ui_->cb_asmuo, &QComboBox::currentIndexChanged, [&] { ++indexChanges; });
    QVERIFY(selector_->loadAtStart());
    QCOMPARE(shown, 1);
    // Filling is quiet, so that a window listening to every index change stores nothing.
    QCOMPARE(indexChanges, 0);
    QCOMPARE(entries(ui_->cb_asmuo), QStringList({"Alfa", "Šaras", "Gama"}));
    QCOMPARE(ui_->cb_asmuo->currentIndex(), 1);
    QCOMPARE(ui_->lb_kodas->text(), QString("302"));
    QVERIFY(errors_->texts.isEmpty());
    // Restoring is not a user's change: nothing is written.
    QCOMPARE(readFile(settings()), std::string("[NUSTATYMAI]\r\nasmuo=1\r\n"));
  }

  void aStoredPositionBeyondTheListSelectsNothing() {
    writeFile(list(), "Alfa;1\r\n");
    writeFile(settings(), "[NUSTATYMAI]\r\nasmuo=1\r\n");
    start();
    QCOMPARE(ui_->cb_asmuo->count(), 1);
    QCOMPARE(ui_->cb_asmuo->currentIndex(), -1);
    QCOMPARE(ui_->lb_kodas->text(), QString("lb_kodas"));
  }

  void aMissingListLeavesTheSelectorEmptyWithoutAWord() {
    start();
    QCOMPARE(ui_->cb_asmuo->count(), 0);
    QVERIFY(errors_->texts.isEmpty());
  }

  void theUsersChoiceOfPayerOrYearIsStored() {
    writeFile(list(), "Alfa;1\r\nBeta\r\n");
    start();
    ui_->cb_asmuo->setFocus();
    QTest::keyClick(ui_->cb_asmuo, Qt::Key_Down);
    QCOMPARE(ui_->cb_asmuo->currentIndex(), 1);
    QCOMPARE(ui_->lb_kodas->text(), QString("lb_kodas"));
    // The position, and the payer's line that keeps it with its payer.
    QCOMPARE(readFile(settings()), std::string("[NUSTATYMAI]\r\nasmuo=1\r\nasmuo_eilute=Beta\r\n"));

    // A year reads the list again and writes the same position again.
    writeFile(list(), "Alfa;1\r\nBeta;7\r\nGama;3\r\n");
    std::filesystem::remove(settings());
    QTest::keyClick(ui_->dt_metai, Qt::Key_Down);
    QCOMPARE(ui_->dt_metai->currentText(), QString("2023"));
    QCOMPARE(entries(ui_->cb_asmuo), QStringList({"Alfa", "Beta", "Gama"}));
    QCOMPARE(ui_->lb_kodas->text(), QString("7"));
    QCOMPARE(readFile(settings()),
             std::string("[NUSTATYMAI]\r\nasmuo=1\r\nasmuo_eilute=Beta;7\r\n"));
    QVERIFY(errors_->texts.isEmpty());
  }

  // Whichever payer is selected, an addition selects the new payer wherever it sorts, and the
  // payer shown is stored at once: a restart shows it again.
  void anAddedPayerIsSelectedWhereverItSorts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("stored");
    QTest::addRow("first") << "Aa" << QStringList({"Aa", "Alfa", "Beta", "Gama"}) << 0 << 0;
    QTest::addRow("middle") << "Bz" << QStringList({"Alfa", "Beta", "Bz", "Gama"}) << 2 << 2;
    QTest::addRow("last") << "Zeta" << QStringList({"Alfa", "Beta", "Gama", "Zeta"}) << 3 << 3;
  }

  void anAddedPayerIsSelectedWhereverItSorts() {
    QFETCH(QString, name);
    QFETCH(QStringList, order);
    QFETCH(int, selected);
    QFETCH(int, stored);
    writeFile(list(), "Alfa;1\r\nBeta;2\r\nGama;3\r\n");
    writeFile(settings(), "[NUSTATYMAI]\r\nasmuo=2\r\n");
    start();
    QCOMPARE(ui_->cb_asmuo->currentText(), QString("Gama"));
    answerDialog(name, "9");
    ui_->btn_new->click();
    QCOMPARE(entries(ui_->cb_asmuo), order);
    QCOMPARE(ui_->cb_asmuo->currentIndex(), selected);
    QCOMPARE(ui_->cb_asmuo->currentText(), name);
    QCOMPARE(ui_->lb_kodas->text(), QString("9"));
    // Stored with its line, so that the selection follows the payer, not the position.
    QCOMPARE(readFile(settings()), "[NUSTATYMAI]\r\nasmuo=" + std::to_string(stored) +
                                       "\r\nasmuo_eilute=" + name.toStdString() + ";9\r\n");

    start();
    QCOMPARE(ui_->cb_asmuo->currentText(), name);
    QCOMPARE(ui_->lb_kodas->text(), QString("9"));
    QVERIFY(errors_->texts.isEmpty());
  }

  void aCancelledAdditionChangesNothing() {
    writeFile(list(), "Alfa;1\r\nGama;3\r\n");
    start();
    answerDialog("Delta", "4", "btn_cancel");
    ui_->btn_new->click();
    QCOMPARE(readFile(list()), std::string("Alfa;1\r\nGama;3\r\n"));
    QCOMPARE(ui_->cb_asmuo->currentText(), QString("Alfa"));
    QVERIFY(!std::filesystem::exists(settings()));
  }

  void editingThroughTheDialogFollowsTheEditedPayer() {
    writeFile(list(), "Alfa;1\r\nBeta;2\r\nGama;3\r\n");
    writeFile(settings(), "[NUSTATYMAI]\r\nasmuo=0\r\n");
    start();
    QStringList opened;
    answerDialog("Zeta", "1", "btn_ok", &opened);
    ui_->btn_koreguoti->click();
    QCOMPARE(opened, QStringList({"Alfa", "1"}));
    QCOMPARE(readFile(list()), std::string("Beta;2\r\nGama;3\r\nZeta;1\r\n"));
    QCOMPARE(ui_->cb_asmuo->currentText(), QString("Zeta"));
    QCOMPARE(ui_->lb_kodas->text(), QString("1"));
    // The edited payer was the stored one: the stored position goes with it.
    QCOMPARE(readFile(settings()),
             std::string("[NUSTATYMAI]\r\nasmuo=2\r\nasmuo_eilute=Zeta;1\r\n"));

    // Another payer edited: it is the one shown, and so the one stored.
    ui_->cb_asmuo->setCurrentIndex(0);
    answerDialog("Ziedas", "2");
    ui_->btn_koreguoti->click();
    QCOMPARE(entries(ui_->cb_asmuo), QStringList({"Gama", "Zeta", "Ziedas"}));
    QCOMPARE(ui_->cb_asmuo->currentText(), QString("Ziedas"));
    QCOMPARE(readFile(settings()),
             std::string("[NUSTATYMAI]\r\nasmuo=2\r\nasmuo_eilute=Ziedas;2\r\n"));
    start();
    QCOMPARE(ui_->cb_asmuo->currentText(), QString("Ziedas"));
  }

  void removingAsksNamingThePayerAndForgetsIt() {
    writeFile(list(), "Alfa;1\r\nBeta\r\nGama;3\r\n");
    writeFile(settings(), "[NUSTATYMAI]\r\nasmuo=2\r\n");
    start();
    // An addition selects the new payer, and stores it.
    answerDialog("Aa", "9");
    ui_->btn_new->click();
    QCOMPARE(ui_->cb_asmuo->currentText(), QString("Aa"));
    QCOMPARE(readFile(settings()), std::string("[NUSTATYMAI]\r\nasmuo=0\r\nasmuo_eilute=Aa;9\r\n"));

    // Cancelled: nothing changes.
    errors_->removeAnswer = false;
    ui_->btn_salinti->click();
    QCOMPARE(errors_->questions, QStringList({"Pašalinti mokėtoją „Aa“ (kodas 9) iš sąrašo?"}));
    QCOMPARE(readFile(list()), std::string("Aa;9\r\nAlfa;1\r\nBeta\r\nGama;3\r\n"));

    // The payer shown, which is the one stored: none is selected or stored afterwards.
    errors_->removeAnswer = true;
    ui_->btn_salinti->click();
    QCOMPARE(readFile(list()), std::string("Alfa;1\r\nBeta\r\nGama;3\r\n"));
    QCOMPARE(ui_->cb_asmuo->currentIndex(), -1);
    QCOMPARE(readFile(settings()), std::string("[NUSTATYMAI]\r\nasmuo=-1\r\n"));

    // A payer without a code is named without one.
    errors_->questions.clear();
    errors_->removeAnswer = false;
    ui_->cb_asmuo->setCurrentIndex(1);
    ui_->btn_salinti->click();
    QCOMPARE(errors_->questions, QStringList({"Pašalinti mokėtoją „Beta“ iš sąrašo?"}));

    // The stored payer: nothing is selected or stored, and its code is forgotten.
    errors_->removeAnswer = true;
    ui_->cb_asmuo->setCurrentIndex(2);
    QCOMPARE(ui_->lb_kodas->text(), QString("3"));
    ui_->btn_salinti->click();
    QCOMPARE(entries(ui_->cb_asmuo), QStringList({"Alfa", "Beta"}));
    QCOMPARE(ui_->cb_asmuo->currentIndex(), -1);
    QCOMPARE(ui_->lb_kodas->text(), QString("lb_kodas"));
    QCOMPARE(readFile(settings()), std::string("[NUSTATYMAI]\r\nasmuo=-1\r\n"));

    // Nothing selected: nothing to ask about.
    errors_->questions.clear();
    ui_->btn_salinti->click();
    QVERIFY(errors_->questions.isEmpty());
    QCOMPARE(readFile(list()), std::string("Alfa;1\r\nBeta\r\n"));
    QVERIFY(errors_->texts.isEmpty());
  }

  void aPayerWithoutACodeOpensWithAnEmptyCodeField() {
    writeFile(list(), "Alfa\r\n");
    start();
    QCOMPARE(ui_->lb_kodas->text(), QString("lb_kodas"));
    QStringList opened;
    answerDialog("Alfa", "5", "btn_ok", &opened);
    ui_->btn_koreguoti->click();
    QCOMPARE(opened, QStringList({"Alfa", ""}));
    QCOMPARE(readFile(list()), std::string("Alfa;5\r\n"));
  }

  void aListThatCannotBeReadIsReportedAndTheWindowGoesOn() {
    std::filesystem::create_directory(list());
    selector_ = std::make_unique<PayerSelector>(ui_->controls(), dir_->path(), *errors_);
    QVERIFY(!selector_->loadAtStart());
    QCOMPARE(errors_->texts, QStringList({"Nepavyko perskaityti failo asmenys.txt: tai ne "
                                          "paprastas failas, o aplankas, kanalas ar įrenginys"}));
    QCOMPARE(ui_->cb_asmuo->count(), 0);

    // Mended by hand: the next change of year shows the list.
    std::filesystem::remove(list());
    writeFile(list(), "Alfa;1\r\n");
    QTest::keyClick(ui_->dt_metai, Qt::Key_Down);
    QCOMPARE(entries(ui_->cb_asmuo), QStringList({"Alfa"}));
  }

  void editingAMissingListIsReportedAndCreatesNothing() {
    start();
    answerDialog("Alfa", "1");
    ui_->btn_koreguoti->click();
    QCOMPARE(errors_->texts,
             QStringList({"Nepavyko perskaityti failo asmenys.txt: tokio failo ar aplanko nėra"}));
    QVERIFY(!std::filesystem::exists(list()));
  }

  void errorsAppearInAModalMessageBox() {
    std::filesystem::create_directory(list());
    MessageBoxErrorReporter boxes;
    selector_ = std::make_unique<PayerSelector>(ui_->controls(), dir_->path(), boxes);
    QString shown;
    whenModalShows([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box != nullptr);
      shown = box->text();
      box->button(QMessageBox::Ok)->click();
    });
    selector_->loadAtStart();
    QCOMPARE(shown, QString("Nepavyko perskaityti failo asmenys.txt: tai ne paprastas failas, o "
                            "aplankas, kanalas ar įrenginys"));
    QVERIFY(QApplication::activeModalWidget() == nullptr);

    // The window is still usable: an addition works once the list can be written.
    std::filesystem::remove(list());
    answerDialog("Alfa", "1");
    ui_->btn_new->click();
    QCOMPARE(entries(ui_->cb_asmuo), QStringList({"Alfa"}));

    // The question before a removal: Escape and Enter keep the payer, "Šalinti" removes it.
    for (const char* answer : {"escape", "enter", "Šalinti"}) {
      QStringList buttons;
      whenModalShows([&, answer](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
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
      QCOMPARE(shown, QString("Pašalinti mokėtoją „Alfa“ (kodas 1) iš sąrašo?"));
      buttons.sort();
      QCOMPARE(buttons, QStringList({"Atšaukti", "Šalinti"}));
      QCOMPARE(ui_->cb_asmuo->count(), answer == std::string("Šalinti") ? 0 : 1);
    }
  }
};

}  // namespace kvd507::gui

QTEST_MAIN(kvd507::gui::PayerSelectorTest)
#include "PayerSelectorTest.moc"
