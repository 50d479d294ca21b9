#include "gui/PayerSelector.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include "gui/ErrorReporter.h"
#include "gui/PayerDialog.h"
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
    : QObject(parent), controls_(controls), registry_(std::move(programFolder)), errors_(errors) {
  connect(controls_.payerList, &QComboBox::currentIndexChanged, this,
          &PayerSelector::reloadAndStorePosition);
  connect(controls_.yearList, &QComboBox::currentIndexChanged, this,
          &PayerSelector::reloadAndStorePosition);
  connect(controls_.addButton, &QAbstractButton::clicked, this, &PayerSelector::addPayer);
  connect(controls_.editButton, &QAbstractButton::clicked, this, &PayerSelector::editSelectedPayer);
  connect(controls_.removeButton, &QAbstractButton::clicked, this,
          &PayerSelector::removeSelectedPayer);
}

bool PayerSelector::loadAtStart() {
  clearSelector();
  return load([&] { return registry_.loadStored(); });
}

void PayerSelector::reloadAndStorePosition() {
  const int position = controls_.payerList->currentIndex();
  // A list that cannot be read leaves the selector empty, and nothing is stored then.
  clearSelector();
  if (!load([&] { return registry_.load(position); })) return;
  try {
    registry_.storePosition(controls_.payerList->currentIndex());
  } catch (...) {
    // The new selection stays in effect until the program ends.
    report();
  }
}

void PayerSelector::addPayer() {
  PayerDialog dialog(controls_.payerList->window());
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string name = dialog.name().toStdString();
  const std::string code = dialog.code().toStdString();
  load([&] { return registry_.add(name, code); });
}

void PayerSelector::editSelectedPayer() {
  PayerDialog dialog(controls_.payerList->window());
  // The payer edited is the one selected when the dialog opened.
  const int position = controls_.payerList->currentIndex();
  dialog.setName(controls_.payerList->currentText());
  const QString code = controls_.payerCode->text();
  dialog.setCode(code == QLatin1String(payers::kNoPayerCode) ? QString() : code);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string name = dialog.name().toStdString();
  const std::string newCode = dialog.code().toStdString();
  load([&] { return registry_.edit(position, name, newCode); });
}

void PayerSelector::removeSelectedPayer() {
  const int position = controls_.payerList->currentIndex();
  if (position < 0) return;
  QString question =
      QStringLiteral("Pašalinti mokėtoją „%1“").arg(controls_.payerList->currentText());
  const QString code = controls_.payerCode->text();
  if (code != QLatin1String(payers::kNoPayerCode)) {
    question += QStringLiteral(" (kodas %1)").arg(code);
  }
  question += QStringLiteral(" iš sąrašo?");
  if (!errors_.confirmRemoval(controls_.payerList->window(), question)) return;
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
  const int shown = controls_.payerList->currentIndex();
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
  const QSignalBlocker quiet(controls_.payerList);
  controls_.payerList->clear();
}

void PayerSelector::show(const payers::LoadedPayers& loaded, NoneSelected none) {
  QComboBox* selector = controls_.payerList;
  // Filling the selector is no change of the user's: it must not reach reloadAndStorePosition.
  const QSignalBlocker quiet(selector);
  selector->clear();
  for (const payers::Payer& payer : loaded.payers) selector->addItem(text(payer.name));
  if (const std::optional<std::string> code = loaded.selectedCode()) {
    controls_.payerCode->setText(text(*code));
  } else if (none == NoneSelected::kForgetCode) {
    controls_.payerCode->setText(QString::fromLatin1(payers::kNoPayerCode));
  }
  selector->setCurrentIndex(loaded.selected);
}

void PayerSelector::report() {
  errors_.showError(controls_.payerList->window(),
                    QString::fromStdString(payers::currentFailureText()));
}

}  // namespace kvd507::gui
