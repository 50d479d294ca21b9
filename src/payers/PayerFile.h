#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "payers/PayerLine.h"
#include "payers/TextEncoding.h"

namespace kvd507::payers {

// The payer list's file name in the program folder.
inline constexpr const char* kPayerFileName = "asmenys.txt";

// A payer list holds a few dozen short lines; a file far beyond that is not one, and reading
// it whole would cost memory out of all proportion.
inline constexpr std::size_t kLargestPayerFile = std::size_t{1} << 20;

// The payer list as read from disk: its payer lines in file order and the encoding it was stored
// in. Errors are PayerFileError, naming the file and the cause; a file over kLargestPayerFile is
// refused.
class PayerFile {
 public:
  // Reads the whole file at once. A missing file is an error here; whether a missing list is
  // worth reporting is for the caller to decide. Empty lines are left out: they hold no payer,
  // and counting them would set the selector's positions apart from the file's, so positions
  // everywhere count the payer lines only.
  static PayerFile read(const std::filesystem::path& file);

  PayerFile(std::filesystem::path file, std::vector<std::string> lines, TextEncoding encoding,
            std::vector<std::size_t> ansiLines = {});

  const std::filesystem::path& file() const { return file_; }
  const std::vector<std::string>& lines() const { return lines_; }
  TextEncoding encoding() const { return encoding_; }
  // The lines of a UTF-8 list that were read in the ANSI code page (TextEncoding.h), counted
  // from 1 in the file as it is.
  const std::vector<std::size_t>& ansiLines() const { return ansiLines_; }

  // The payers in file order, one for each line.
  std::vector<Payer> payers() const;

 private:
  std::filesystem::path file_;
  std::vector<std::string> lines_;
  TextEncoding encoding_;
  std::vector<std::size_t> ansiLines_;
};

// The bytes writePayerFile would write. Refuses a file marked read-only, and a list the program
// could not read back (over kLargestPayerFile), with nothing written.
std::string payerFileBytes(const std::filesystem::path& file, const std::vector<std::string>& lines,
                           TextEncoding encoding);

// Replaces the whole file: the encoding's byte-order mark, then every line followed by CR LF,
// the last one included. The new contents are written beside the file and renamed over it, so a
// failure leaves the file exactly as it was.
void writePayerFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                    TextEncoding encoding);

}  // namespace kvd507::payers
