#include "payers/PayerFile.h"

#include <algorithm>
#include <utility>

#include "files/WholeFile.h"
#include "payers/PayerFileError.h"
#include "text/TextLines.h"

namespace kvd507::payers {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

std::string readOrThrow(const std::filesystem::path& file) {
  try {
    return files::readWholeFile(file, kLargestPayerFile);
  } catch (const Error& e) {
    throw PayerFileError(FileAction::kRead, e);
  }
}

DecodedText decodeOrThrow(const std::filesystem::path& file, std::string_view bytes) {
  try {
    return decodeText(bytes);
  } catch (Error& e) {
    throw PayerFileError(FileAction::kRead, e.setFile(file.string()));
  }
}

std::string encodeOrThrow(const std::filesystem::path& file, std::string_view text,
                          TextEncoding encoding) {
  try {
    return encodeText(text, encoding);
  } catch (Error& e) {
    throw PayerFileError(FileAction::kWrite, e.setFile(file.string()));
  }
}

// The atomic replace needs only the folder's permission, so it would replace a list the user
// marked read-only; the mode is looked at instead, which holds for root too.
void refuseIfReadOnly(const std::filesystem::path& file) {
  if (files::isReadOnly(file)) {
    throw PayerFileError(FileAction::kWrite,
                         Error(ErrorKind::kReadOnlyProgramFile, {file.string()}));
  }
}

}  // namespace

PayerFile PayerFile::read(const std::filesystem::path& file) {
  const std::string bytes = readOrThrow(file);
  DecodedText decoded = decodeOrThrow(file, bytes);
  std::vector<std::string> lines = text::splitLines(decoded.text);
  std::erase_if(lines, [](const std::string& line) { return line.empty(); });
  return {file, std::move(lines), decoded.encoding, std::move(decoded.ansiLines)};
}

PayerFile::PayerFile(std::filesystem::path file, std::vector<std::string> lines,
                     TextEncoding encoding, std::vector<std::size_t> ansiLines)
    : file_(std::move(file)),
      lines_(std::move(lines)),
      encoding_(encoding),
      ansiLines_(std::move(ansiLines)) {}

std::vector<Payer> PayerFile::payers() const {
  std::vector<Payer> payers;
  payers.reserve(lines_.size());
  for (const std::string& line : lines_) {
    // Only an empty line has no pieces, and read() leaves those out; one made by hand gets an
    // empty name rather than shifting every position after it.
    payers.push_back(splitPayerLine(line).value_or(Payer{}));
  }
  return payers;
}

std::string payerFileBytes(const std::filesystem::path& file, const std::vector<std::string>& lines,
                           TextEncoding encoding) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += kLineBreak;
  }
  refuseIfReadOnly(file);
  std::string bytes(byteOrderMark(encoding));
  bytes += encodeOrThrow(file, text, encoding);
  // A list the program could not read back would lock every command that reads it out.
  if (bytes.size() > kLargestPayerFile) {
    throw PayerFileError(FileAction::kWrite, Error(ErrorKind::kPayerListFull, {file.string()}));
  }
  return bytes;
}

void writePayerFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                    TextEncoding encoding) {
  const std::string bytes = payerFileBytes(file, lines, encoding);
  try {
    files::replaceFileAtomically(file, bytes, files::Permissions::kKeepExisting);
  } catch (const Error& e) {
    throw PayerFileError(FileAction::kWrite, e);
  }
}

}  // namespace kvd507::payers
