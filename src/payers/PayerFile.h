#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "payers/PayerLine.h"
#include "payers/TextEncoding.h"

namespace kvd507::payers {

// The payer list's file name in the program folder.
inline constexpr const char* kPayerFileName = "asmenys.txt";

// A payer list holds a few dozen short lines; a file far beyond that is not one, and reading
// it whole would cost memory out of all proportion.
inline constexpr std::size_t kLargestPayerFile = std::size_t{1} << 20;

// The payer list as read from disk: its lines in file order and the encoding it was stored in.
// Errors are PayerFileError, naming the file and the cause; a file over kLargestPayerFile is
// refused.
class PayerFile {
 public:
  // Reads the whole file at once. A missing file is an error here; whether a missing list is
  // worth reporting is for the caller to decide.
  static PayerFile read(const std::filesystem::path& file);

  PayerFile(std::filesystem::path file, std::vector<std::string> lines, TextEncoding encoding);

  const std::filesystem::path& file() const { return file_; }
  const std::vector<std::string>& lines() const { return lines_; }
  TextEncoding encoding() const { return encoding_; }

  // The payers in file order. Loading stops at the first empty line with an EmptyPayerLineError
  // that carries the payers above it; the lines below it are not loaded.
  std::vector<Payer> payers() const;

 private:
  std::filesystem::path file_;
  std::vector<std::string> lines_;
  TextEncoding encoding_;
};

// Replaces the whole file: the encoding's byte-order mark, then every line followed by CR LF,
// the last one included.
void writePayerFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                    TextEncoding encoding);

// Adds one line and CR LF at the end, creating the file when it is missing. A new or plain ASCII
// file gets the ANSI code page, where a character it cannot represent becomes "?". A file read in
// another encoding gets the line in that encoding, so that one file never mixes two; and a file
// whose last line has no line break gets one first, so that the new line does not join it.
void appendPayerLine(const std::filesystem::path& file, std::string_view line);

}  // namespace kvd507::payers
