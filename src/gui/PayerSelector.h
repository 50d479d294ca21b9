#pragma once

#include <QObject>
#include <filesystem>
#include <functional>

#include "payers/PayerRegistry.h"

class QAbstractButton;
class QComboBox;
class QLabel;

namespace kvd507::gui {

class ErrorReporter;

// The main window's payer controls given life: the selector cb_asmuo filled from the payer list
// and restored at start, the selected payer's code in lb_kodas, a change of the payer or the year
// stored, "Įvesti naują" and "Koreguoti" going through the payer dialog and "Šalinti" asking
// first. It connects itself to the controls it is given; the window only reads what it shows.
// Every failure to read or write the payer list or the settings file is shown through the error
// reporter, and the window stays usable. After a change the selector shows the payer the user
// acted on.
class PayerSelector : public QObject {
  Q_OBJECT

 public:
  // The window's controls, by their object names in the window.
  struct Controls {
    QComboBox* payerList;           // cb_asmuo
    QLabel* payerCode;              // lb_kodas, the selected payer's code
    QComboBox* yearList;            // dt_metai
    QAbstractButton* addButton;     // btn_new, "Įvesti naują"
    QAbstractButton* editButton;    // btn_koreguoti, "Koreguoti"
    QAbstractButton* removeButton;  // btn_salinti, "Šalinti"
  };

  // Connects the controls to the handlers below: every change of either selector's entry and the
  // buttons' clicks. The payer selector's signals are blocked while it is filled, so only the
  // user's changes, or a caller's, reach a handler, and filling it stores nothing.
  PayerSelector(Controls controls, std::filesystem::path programFolder, ErrorReporter& errors,
                QObject* parent = nullptr);

  // The window's creation step: the stored position applied to the list as it is now. False when
  // the list or the settings could not be read; the failure has been reported then.
  bool loadAtStart();

 signals:
  // The selector was filled again, and lb_kodas may hold another code: what a run reads of the
  // payer is to be taken from them anew.
  void selectionShown();

 private:
  // Another payer or year chosen: the list is read again and the position shown stored.
  void reloadAndStorePosition();
  void addPayer();
  void editSelectedPayer();
  void removeSelectedPayer();

  // What lb_kodas holds when a load selects nothing.
  enum class NoneSelected {
    kKeepCode,    // whatever it held
    kForgetCode,  // its not-set marker: the payer it named is gone
  };

  // Shows what `read` gives, or reports why it failed and leaves the selector as it is; false
  // then. lb_kodas changes only when a payer is selected, unless told otherwise.
  bool load(const std::function<payers::LoadedPayers()>& read,
            NoneSelected none = NoneSelected::kKeepCode);
  void clearSelector();
  // Stores the position the selector shows when the stored one differs, so that a restart
  // shows the same payer.
  void storeShown();
  void show(const payers::LoadedPayers& loaded, NoneSelected none);
  // Only inside a catch block: shows the failure being handled.
  void report();

  Controls controls_;
  payers::PayerRegistry registry_;
  ErrorReporter& errors_;
};

}  // namespace kvd507::gui
