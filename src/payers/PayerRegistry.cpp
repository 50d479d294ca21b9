#include "payers/PayerRegistry.h"

#include <system_error>
#include <utility>

#include "files/FileLock.h"
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

void sortAndWrite(const std::filesystem::path& file, std::vector<std::string> lines,
                  TextEncoding encoding) {
  try {
    sortPayerLines(lines, collationLocaleFromEnvironment());
  } catch (Error& e) {
    throw PayerFileError(FileAction::kWrite, e.setFile(file.string()));
  }
  writePayerFile(file, lines, encoding);
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

LoadedPayers PayerRegistry::add(std::string_view name, std::string_view code,
                                int entriesBefore) const {
  const files::FileLock lock(payerFile());
  const std::filesystem::path file = payerFile();
  std::vector<std::string> lines;
  TextEncoding encoding = TextEncoding::Ansi;
  if (!isMissing(file)) {
    PayerFile list = PayerFile::read(file);
    encoding = list.encoding();
    lines = list.lines();
  }
  // The line goes in as it will read back, so that it sorts where the next load finds it.
  lines.push_back(throughEncoding(joinPayerLine(name, code), encoding));
  sortAndWrite(file, std::move(lines), encoding);
  return load(entriesBefore);
}

LoadedPayers PayerRegistry::edit(int position, std::string_view name, std::string_view code) const {
  const files::FileLock lock(payerFile());
  const PayerFile list = PayerFile::read(payerFile());
  std::vector<std::string> lines = list.lines();
  if (position >= 0 && static_cast<std::size_t>(position) < lines.size()) {
    lines[static_cast<std::size_t>(position)] =
        throughEncoding(joinPayerLine(name, code), list.encoding());
  }
  sortAndWrite(list.file(), std::move(lines), list.encoding());
  return load(position);
}

}  // namespace kvd507::payers
