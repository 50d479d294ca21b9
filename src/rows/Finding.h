#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kvd507::rows {

// Something a run noticed that the user should hear about: data that was counted as 0, dropped
// or never read, or a value the declaration will carry that looks wrong. A finding is only
// told; what is written stays exactly what it would have been without it.
struct Finding {
  enum class Kind {
    NotANumber,          // an amount cell holding text that is no number: counted as 0
    NoAmount,            // column B filled but no amount above 0: written with amount 0
    SecondAmountUnused,  // the second amount of a row without an amount: not written
    SeveralGroups,       // an amount in a group after the one used: ignored
    NegativeAmount,      // ignored
    RowWithoutText,      // column B empty while other columns hold values: row dropped
    RowsBelowEnd,        // filled rows below the ten empty rows that end reading: not read
    MissingSheet,        // the worksheet is not in the workbook: nothing of it read
    ReadStopped,         // a cell could not be read: the rest of the sheet not read
    NoIdentifier,
    OddCode,             // empty, or not two digits (and a "D") after the code rules
    OddPersonalCode,     // not 11 digits, no date of birth in it, or a wrong check digit
    OddCompanyCode,      // not 9 digits
    OddBirthDate,        // no date, one still to come, or one before 1900
    SeveralIdentifiers,  // more than one identification column filled: the first is used
    PercentRate,         // a rate shown as a percentage: 15 % is written as 0,15
    OddRate,             // a rate that is no number or not from 0 to 100
    NoPayer,             // the declaration carries "lb_kodas": counted as lost
    OddPayerCode,        // neither 9 nor 11 digits
    PayerCheckDigit,
    WorkbookOpen,     // a lock file beside the workbook: unsaved changes are not read
    AmountTooLarge,   // an amount of kLargestAmount or more: counted as 0
    SlotWithoutName,  // a declaration's row slot with values but no name: row dropped
    RepeatedRows,     // a declaration holding one key twice: workbook rows go to the first only
    FooterDiffers,    // a declaration's footer with another payer code or year than its main page
    AlreadyInDeclaration,  // every workbook row already in the declaration appended to:
                           // the amounts would be doubled
  };

  Kind kind = Kind::NotANumber;
  std::string sheet;      // empty when the finding is not one worksheet's
  std::uint32_t row = 0;  // 1-based; 0 when not one row's
  std::string column;     // "H", or a range "C–G"; empty when not one column's
  std::string text;       // what happened, in Lithuanian, for a bookkeeper
  // Not 0: this finding stands for so many more of its kind that were counted but not kept
  // ("ir dar 1 234 tokių pastabų"), and has no place of its own.
  std::size_t leftOut = 0;

  // How many findings this one counts for: itself, or those it stands for.
  std::size_t count() const { return leftOut != 0 ? leftOut : 1; }

  // The place, as in `lapas "KVD507 L", eilutė 7, stulpelis H`, then ": " and the text.
  std::string describe() const;
};

// Findings of data counted as 0, dropped, not read or that may be counted twice, and a
// declaration without a payer: the ones a strict run refuses to write with. The others are told for
// the user to decide.
bool losesData(Finding::Kind kind);

// Where readers put what they notice while reading.
class FindingSink {
 public:
  virtual ~FindingSink() = default;
  virtual void add(Finding finding) = 0;
  // A row of `sheet` went into its table, appended or (when `merged`) added into an earlier
  // row with the same key. Counted for the run's summary.
  virtual void rowTaken(std::string_view sheet, bool merged) = 0;
};

// A sink for callers that do not want to hear.
FindingSink& ignoredFindings();

}  // namespace kvd507::rows
