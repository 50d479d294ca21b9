#include "payers/PayerRegistry.h"

#include <system_error>
#include <utility>

#include "files/FileLock.h"
#include "payers/PayerChange.h"
#include "payers/PayerFile.h"
#include "payers/PayerFileError.h"
#include "payers/PayerOrder.h"
#include "payers/StoredPayer.h"
#include "payers/StoredPosition.h"

namespace kvd507::payers {
namespace {

bool isMissing(const std::filesystem::path& file) {
  std::error_code error;
  // Only a list that is plainly not there counts as missing; one that cannot be looked at is
  // read, and the read reports why.
  return !std::filesystem::exists(file, error) && !error;
}

// A name or code the list's encoding cannot hold would be stored with "?" for what it lacks,
// a payer other than the one typed.
std::string storableLine(const std::filesystem::path& file, std::string_view name,
                         std::string_view code, TextEncoding encoding) {
  std::string line = joinPayerLine(name, code);
  const std::vector<std::string> missing = unencodableCharacters(line, encoding);
  if (!missing.empty()) {
    std::string characters;
    for (const std::string& character : missing) {
      characters += (characters.empty() ? "\"" : ", \"") + character + "\"";
    }
    throw PayerFileError(FileAction::kWrite,
                         Error(ErrorKind::kNotInListEncoding, {file.string()}, characters));
  }
  return throughEncoding(line, encoding);
}

bool isLine(const std::vector<std::string>& lines, int position) {
  return position >= 0 && static_cast<std::size_t>(position) < lines.size();
}

std::optional<Payer> payerOfLine(const std::vector<std::string>& lines, int position) {
  if (!isLine(lines, position)) return std::nullopt;
  return splitPayerLine(lines[static_cast<std::size_t>(position)]).value_or(Payer{});
}

// The first line holding this payer; -1 when none does.
int positionOf(const std::vector<std::string>& lines, const Payer& payer) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (splitPayerLine(lines[i]).value_or(Payer{}) == payer) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

std::optional<std::string> LoadedPayers::selectedCode() const {
  if (selected < 0) return std::nullopt;
  return payers[static_cast<std::size_t>(selected)].code.value_or(kNoPayerCode);
}

std::string LoadedPayers::selectedName() const {
  if (selected < 0) return {};
  return payers[static_cast<std::size_t>(selected)].name;
}

PayerRegistry::PayerRegistry(std::filesystem::path programFolder)
    : folder_(std::move(programFolder)) {}

std::filesystem::path PayerRegistry::payerFile() const {
  return folder_ / kPayerFileName;
}

std::filesystem::path PayerRegistry::settingsFile() const {
  return folder_ / kSettingsFileName;
}

LoadedPayers PayerRegistry::load(int position) const {
  LoadedPayers loaded;
  if (isMissing(payerFile())) return loaded;
  loaded.payers = PayerFile::read(payerFile()).payers();
  if (position >= 0 && static_cast<std::size_t>(position) < loaded.payers.size()) {
    loaded.selected = position;
  }
  return loaded;
}

int PayerRegistry::storedPosition() const {
  return readStoredPosition(folder_);
}

void PayerRegistry::storePosition(int position) const {
  const files::FileLock lock(settingsFile());
  writeStoredPosition(folder_, position);
}

LoadedPayers PayerRegistry::loadStored() const {
  return load(storedPosition());
}

LoadedPayers PayerRegistry::select(int position) const {
  LoadedPayers loaded = load(position);
  storePosition(loaded.selected);
  return loaded;
}

std::vector<std::string> PayerRegistry::rewrite(const std::filesystem::path& file,
                                                std::vector<std::string> lines,
                                                TextEncoding encoding, int storedBefore,
                                                const std::optional<Payer>& previous,
                                                const std::optional<Payer>& stored) const {
  try {
    sortPayerLines(lines, collationLocaleFromEnvironment());
  } catch (Error& e) {
    throw PayerFileError(FileAction::kWrite, e.setFile(file.string()));
  }
  replacePayerList(folder_, lines, encoding, {storedBefore, previous, stored});
  return lines;
}

LoadedPayers PayerRegistry::add(std::string_view name, std::string_view code) const {
  const files::FileLock lock(payerFile());
  const std::filesystem::path file = payerFile();
  std::vector<std::string> lines;
  TextEncoding encoding = TextEncoding::Ansi;
  if (!isMissing(file)) {
    PayerFile list = PayerFile::read(file);
    encoding = list.encoding();
    lines = list.lines();
  }
  const int stored = storedPosition();
  const std::optional<Payer> storedPayer = payerOfLine(lines, stored);
  // The line goes in as it will read back, so that it sorts where the next load finds it.
  std::string line = storableLine(file, name, code, encoding);
  const Payer added = splitPayerLine(line).value_or(Payer{});
  lines.push_back(std::move(line));
  lines = rewrite(file, std::move(lines), encoding, stored, storedPayer, storedPayer);
  return load(positionOf(lines, added));
}

LoadedPayers PayerRegistry::edit(int position, std::string_view name, std::string_view code) const {
  const files::FileLock lock(payerFile());
  const PayerFile list = PayerFile::read(payerFile());
  std::vector<std::string> lines = list.lines();
  const int stored = storedPosition();
  const std::optional<Payer> previous = payerOfLine(lines, stored);
  std::optional<Payer> storedPayer = previous;
  std::optional<Payer> edited;
  if (isLine(lines, position)) {
    std::string line = storableLine(list.file(), name, code, list.encoding());
    edited = splitPayerLine(line).value_or(Payer{});
    lines[static_cast<std::size_t>(position)] = std::move(line);
    // The stored payer was this one: it is still the stored payer under its new name or code.
    if (position == stored) storedPayer = edited;
  }
  lines = rewrite(list.file(), std::move(lines), list.encoding(), stored, previous, storedPayer);
  return load(edited ? positionOf(lines, *edited) : -1);
}

LoadedPayers PayerRegistry::remove(int position) const {
  const files::FileLock lock(payerFile());
  const PayerFile list = PayerFile::read(payerFile());
  std::vector<std::string> lines = list.lines();
  const int stored = storedPosition();
  const std::optional<Payer> previous = payerOfLine(lines, stored);
  std::optional<Payer> storedPayer = previous;
  // The stored payer's own line goes, even when an equal line stays behind.
  const bool storedRemoved = isLine(lines, position) && position == stored;
  if (isLine(lines, position)) lines.erase(lines.begin() + position);
  if (storedRemoved) storedPayer.reset();
  lines = rewrite(list.file(), std::move(lines), list.encoding(), stored, previous, storedPayer);
  return load(storedPayer ? positionOf(lines, *storedPayer) : -1);
}

}  // namespace kvd507::payers
