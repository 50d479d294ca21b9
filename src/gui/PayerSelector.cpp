#include "gui/PayerSelector.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include "gui/ErrorReporter.h"
#include "gui/Tfrm_naujas_xml.h"
#include "payers/FailureHeadline.h"
#include "payers/StoredPayer.h"

namespace kvd507::gui {
namespace {

QString text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

}  // namespace

PayerSelector::PayerSelector(Controls controls, std::filesystem::path programFolder,
                             ErrorReporter& errors, QObject* parent)
    : QObject(parent), controls_(controls), registry_(std::move(programFolder)), errors_(errors) {}

void PayerSelector::connectControls() {
  connect(controls_.cb_asmuo, &QComboBox::activated, this, &PayerSelector::cb_asmuoChange);
  connect(controls_.dt_metai, &QComboBox::activated, this, &PayerSelector::cb_asmuoChange);
  connect(controls_.btn_new, &QAbstractButton::clicked, this, &PayerSelector::btn_newClick);
  connect(controls_.btn_koreguoti, &QAbstractButton::clicked, this,
          &PayerSelector::btn_koreguotiClick);
  connect(controls_.btn_salinti, &QAbstractButton::clicked, this, &PayerSelector::btn_salintiClick);
}

bool PayerSelector::loadAtStart() {
  clearSelector();
  return load([&] { return registry_.loadStored(); });
}

void PayerSelector::cb_asmuoChange() {
  const int position = controls_.cb_asmuo->currentIndex();
  // A list that cannot be read leaves the selector empty, and nothing is stored then.
  clearSelector();
  if (!load([&] { return registry_.load(position); })) return;
  try {
    registry_.storePosition(controls_.cb_asmuo->currentIndex());
  } catch (...) {
    // The new selection stays in effect until the program ends.
    report();
  }
}

void PayerSelector::btn_newClick() {
  Tfrm_naujas_xml dialog(controls_.cb_asmuo->window());
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string name = dialog.name().toStdString();
  const std::string code = dialog.code().toStdString();
  load([&] { return registry_.add(name, code); });
}

void PayerSelector::btn_koreguotiClick() {
  Tfrm_naujas_xml dialog(controls_.cb_asmuo->window());
  const int position = controls_.cb_asmuo->currentIndex();
  dialog.setId(QString::number(position));
  dialog.setName(controls_.cb_asmuo->currentText());
  const QString code = controls_.lb_kodas->text();
  dialog.setCode(code == QLatin1String(payers::kNoPayerCode) ? QString() : code);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string name = dialog.name().toStdString();
  const std::string newCode = dialog.code().toStdString();
  load([&] { return registry_.edit(position, name, newCode); });
}

void PayerSelector::btn_salintiClick() {
  const int position = controls_.cb_asmuo->currentIndex();
  if (position < 0) return;
  QString question =
      QStringLiteral("Pašalinti mokėtoją „%1“").arg(controls_.cb_asmuo->currentText());
  const QString code = controls_.lb_kodas->text();
  if (code != QLatin1String(payers::kNoPayerCode)) {
    question += QStringLiteral(" (kodas %1)").arg(code);
  }
  question += QStringLiteral(" iš sąrašo?");
  if (!errors_.confirmRemoval(controls_.cb_asmuo->window(), question)) return;
  load([&] { return registry_.remove(position); }, NoneSelected::kForgetCode);
}

bool PayerSelector::load(const std::function<payers::LoadedPayers()>& read, NoneSelected none) {
  bool loaded = true;
  try {
    show(read(), none);
  } catch (...) {
    loaded = false;
    report();
  }
  if (loaded) storeShown();
  emit selectionShown();
  return loaded;
}

void PayerSelector::storeShown() {
  const int shown = controls_.cb_asmuo->currentIndex();
  try {
    // A folder without payers and settings stays as it is until a payer is chosen.
    std::error_code error;
    if (shown < 0 && !std::filesystem::exists(registry_.settingsFile(), error)) return;
    if (registry_.storedPosition() != shown) registry_.storePosition(shown);
  } catch (...) {
    // The selection shown stays in effect until the program ends.
    report();
  }
}

void PayerSelector::clearSelector() {
  const QSignalBlocker quiet(controls_.cb_asmuo);
  controls_.cb_asmuo->clear();
}

void PayerSelector::show(const payers::LoadedPayers& loaded, NoneSelected none) {
  QComboBox* selector = controls_.cb_asmuo;
  // Filling the selector is no change of the user's: it must not reach cb_asmuoChange.
  const QSignalBlocker quiet(selector);
  selector->clear();
  for (const payers::Payer& payer : loaded.payers) selector->addItem(text(payer.name));
  if (const std::optional<std::string> code = loaded.selectedCode()) {
    controls_.lb_kodas->setText(text(*code));
  } else if (none == NoneSelected::kForgetCode) {
    controls_.lb_kodas->setText(QString::fromLatin1(payers::kNoPayerCode));
  }
  selector->setCurrentIndex(loaded.selected);
}

void PayerSelector::report() {
  errors_.showError(controls_.cb_asmuo->window(),
                    QString::fromStdString(payers::currentFailureText()));
}

}  // namespace kvd507::gui
