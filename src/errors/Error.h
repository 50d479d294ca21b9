#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kvd507 {

// Why something failed, in terms a user of the program can act on. Each kind has one text in
// Lithuanian (ErrorText.cpp); the technical detail of a particular failure travels beside it.
enum class ErrorKind {
  // Files and folders
  kFileMissing,
  kNoPermission,
  kFolderNotWritable,  // a file cannot be made in the folder it goes to
  kReadOnlyFileSystem,
  kDiskFull,
  kNotRegularFile,
  kNotAFolder,
  kFileTooLarge,
  kFileSystem,  // any other failure the system reports
  kReadOnlyFile,
  kFileExists,        // a file that may be replaced only when asked to
  kOutputIsInput,     // a file would be written over while the same command reads it
  kTooManyOpenFiles,  // the process or the system has no file descriptor left
  // Workbooks
  kNotAWorkbook,
  kWorkbookDamaged,
  kWorkbookPartMissing,
  kWorkbookDocumentType,
  kWorkbookExpands,
  kWorkbookEncrypted,
  kWorkbookFormatTooOld,
  kWorkbookTooLarge,
  kCellTooLong,
  kTooManyRows,     // filled rows past the last row any sheet has
  kTooManyColumns,  // filled cells past the last column any sheet has
  kSheetTooMuchText,
  kNoSuchSheet,
  kCellErrorValue,
  kCellWithoutText,
  // The row tables
  kTooMuchText,
  // Declarations
  kNotUtf8,
  kEmptyFile,
  kNotADeclaration,
  kDeclarationCutShort,
  kSeveralFieldsOnLine,
  kFieldTagSplit,
  kRowNotInTemplate,        // a declaration row that no workbook row gives back
  kFieldTagMisspelt,        // not `<Field Name="...">` as the form writes it
  kFieldRepeated,           // the same field twice on one page
  kTextAfterDeclaration,    // anything after the first </FFData>
  kTooManyDeclarationRows,  // an appendix past the rows a sheet can hold
  // The payer list and the settings file
  kTextEncoding,
  kNoCollation,
  kReadOnlyProgramFile,
  kPayerListFull,      // a change would take the payer list past what it may hold
  kNotInListEncoding,  // a name or code holds characters the list's encoding has not
  kSettingsNotText,    // the settings file holds NUL bytes without a UTF-16 byte-order mark
  // Anything
  kOutOfMemory,
  kInternal,
};

// Where a failure belongs, as far as it is known; every part may be missing. The thrower
// often knows only some of it, and callers fill in the rest as the error passes them.
struct ErrorPlace {
  ErrorPlace() = default;
  ErrorPlace(std::string inFile, std::string inSheet = {}, std::uint32_t atRow = 0,
             std::uint32_t atColumn = 0)
      : file(std::move(inFile)), sheet(std::move(inSheet)), row(atRow), column(atColumn) {}
  static ErrorPlace atOffset(std::string inFile, std::uint64_t byteOffset) {
    ErrorPlace place(std::move(inFile));
    place.offset = byteOffset;
    return place;
  }

  std::string file;
  std::string sheet;
  std::uint32_t row = 0;                // 1-based; 0 when the failure is not one row's
  std::uint32_t column = 0;             // 1-based; 0 when the failure is not one column's
  std::optional<std::uint64_t> offset;  // in bytes, from the start of the file or stream
};

// The one exception type of the program's own failures. Libraries derive thin kinds of their
// own (WorkbookError, DeclarationError, ...) only where a caller must tell them apart.
class Error : public std::exception {
 public:
  // `limit` is the bound a size kind was measured against, in bytes (0: none).
  Error(ErrorKind kind, ErrorPlace place, std::string detail = {}, std::uint64_t limit = 0);

  ErrorKind kind() const { return kind_; }
  const ErrorPlace& place() const { return place_; }
  const std::string& file() const { return place_.file; }
  const std::string& sheet() const { return place_.sheet; }
  std::uint32_t row() const { return place_.row; }
  std::uint32_t column() const { return place_.column; }
  std::optional<std::uint64_t> offset() const { return place_.offset; }
  // What the system or the file format said, for whoever wants to look closer; not translated.
  const std::string& detail() const { return detail_; }
  std::uint64_t limit() const { return limit_; }

  // Filled in on the way up by code that knows more than the thrower did. Rethrow with
  // `throw;`: throwing the returned reference would slice a derived error.
  Error& setFile(std::string file);
  Error& setSheet(std::string sheet);
  Error& setRow(std::uint32_t row);
  Error& setColumn(std::uint32_t column);
  Error& setLimit(std::uint64_t bytes);
  Error& setDetail(std::string detail);

  // In Lithuanian: the place and why, as in `lapas "KVD507 L", eilutė 7, stulpelis H: ...`.
  // The file is named first unless it is `namedAlready` (a headline says it).
  std::string cause(std::string_view namedAlready = {}) const;
  // cause() with the file always named.
  std::string message() const { return cause(); }
  // The message and the detail in parentheses.
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  void refresh();

  ErrorKind kind_;
  ErrorPlace place_;
  std::string detail_;
  std::uint64_t limit_ = 0;
  std::string what_;
};

// The place in Lithuanian, as in `failas "a.xlsx", lapas "KVD507 L", eilutė 7, stulpelis H`,
// without the file when it is `namedAlready`; empty when nothing is known.
std::string placeText(const ErrorPlace& place, std::string_view namedAlready = {});

// The reason of a kind in Lithuanian: a phrase that can follow "...: ".
std::string reasonText(ErrorKind kind, std::uint64_t limit = 0);

// The exception being handled as an Error: itself when it is one, running out of memory and
// anything else put into their kinds. Call only inside a catch block.
Error currentError();

// The text on one line, as findings are shown: every control character (line breaks and tabs
// among them) becomes a space. File names may hold line breaks, and a message naming one must
// not fall apart into lines that read as messages of their own.
std::string oneLine(std::string_view text);

// Spreadsheet column letters for a 1-based column number: 1 is "A", 28 is "AB".
std::string columnName(std::uint32_t column);

// A byte count as people read it: "100 B", "512 KiB", "1 MiB", "4 GiB".
std::string sizeText(std::uint64_t bytes);

}  // namespace kvd507
