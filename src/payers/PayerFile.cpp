#include "payers/PayerFile.h"

#include <system_error>
#include <utility>

#include "files/WholeFile.h"
#include "payers/PayerFileError.h"
#include "payers/TextLines.h"

namespace kvd507::payers {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

std::string readOrThrow(const std::filesystem::path& file) {
  try {
    return files::readWholeFile(file, kLargestPayerFile);
  } catch (const Error& e) {
    throw PayerFileError(e);
  }
}

DecodedText decodeOrThrow(const std::filesystem::path& file, std::string_view bytes) {
  try {
    return decodeText(bytes);
  } catch (Error& e) {
    throw PayerFileError(e.setFile(file.string()));
  }
}

std::string encodeOrThrow(const std::filesystem::path& file, std::string_view text,
                          TextEncoding encoding) {
  try {
    return encodeText(text, encoding);
  } catch (Error& e) {
    throw PayerFileError(e.setFile(file.string()));
  }
}

bool endsWithLineBreak(std::string_view text) {
  return text.ends_with('\n') || text.ends_with('\r');
}

}  // namespace

PayerFile PayerFile::read(const std::filesystem::path& file) {
  const std::string bytes = readOrThrow(file);
  DecodedText decoded = decodeOrThrow(file, bytes);
  return PayerFile(file, splitLines(decoded.text), decoded.encoding);
}

PayerFile::PayerFile(std::filesystem::path file, std::vector<std::string> lines,
                     TextEncoding encoding)
    : file_(std::move(file)), lines_(std::move(lines)), encoding_(encoding) {}

std::vector<Payer> PayerFile::payers() const {
  std::vector<Payer> payers;
  payers.reserve(lines_.size());
  for (const std::string& line : lines_) {
    std::optional<Payer> payer = splitPayerLine(line);
    if (!payer) {
      const std::size_t index = payers.size();
      throw EmptyPayerLineError(file_.string(), index, std::move(payers));
    }
    payers.push_back(std::move(*payer));
  }
  return payers;
}

void writePayerFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                    TextEncoding encoding) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += kLineBreak;
  }
  std::string bytes(byteOrderMark(encoding));
  bytes += encodeOrThrow(file, text, encoding);
  try {
    files::replaceFileAtomically(file, bytes, files::Permissions::kKeepExisting);
  } catch (const Error& e) {
    throw PayerFileError(e);
  }
}

void appendPayerLine(const std::filesystem::path& file, std::string_view line) {
  std::string existing;
  std::error_code error;
  if (std::filesystem::exists(file, error)) existing = readOrThrow(file);

  const DecodedText decoded = decodeOrThrow(file, existing);
  std::string text;
  if (!decoded.text.empty() && !endsWithLineBreak(decoded.text)) text += kLineBreak;
  text += line;
  text += kLineBreak;

  const std::string bytes = encodeOrThrow(file, text, decoded.encoding);
  try {
    files::appendToFile(file, bytes);
  } catch (const Error& e) {
    throw PayerFileError(e);
  }
}

}  // namespace kvd507::payers
