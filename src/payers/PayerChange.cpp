#include "payers/PayerChange.h"

#include <string_view>

#include "files/FileLock.h"
#include "files/IoError.h"
#include "files/WholeFile.h"
#include "payers/PayerFile.h"
#include "payers/PayerFileError.h"
#include "payers/SettingsError.h"
#include "payers/SettingsFile.h"
#include "payers/StoredPosition.h"

namespace kvd507::payers {
namespace {

int positionOf(const std::vector<std::string>& lines, const Payer& payer) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (splitPayerLine(lines[i]).value_or(Payer{}) == payer) return static_cast<int>(i);
  }
  return -1;
}

std::optional<std::string> lineOf(const std::optional<Payer>& payer) {
  if (!payer) return std::nullopt;
  return lineOf(*payer);
}

// A file written beside its target and renamed over it only by commit(); failures are thrown
// as the file's own error type.
template <typename FileError>
class PreparedFile {
 public:
  PreparedFile(const std::filesystem::path& file, std::string_view bytes) {
    try {
      writer_.emplace(file, files::Permissions::kKeepExisting);
      writer_->write(bytes);
    } catch (const Error& e) {
      throw FileError(FileAction::kWrite, e);
    }
  }

  void commit() {
    try {
      writer_->commit();
    } catch (const Error& e) {
      throw FileError(FileAction::kWrite, e);
    }
  }

 private:
  std::optional<files::AtomicFileWriter> writer_;
};

}  // namespace

std::string lineOf(const Payer& payer) {
  return payer.code ? joinPayerLine(payer.name, *payer.code) : payer.name;
}

void replacePayerList(const std::filesystem::path& programFolder,
                      const std::vector<std::string>& lines, TextEncoding encoding,
                      const SelectionChange& selection) {
  const std::filesystem::path listFile = programFolder / kPayerFileName;
  const std::string listBytes = payerFileBytes(listFile, lines, encoding);
  const int positionAfter = selection.after ? positionOf(lines, *selection.after) : -1;
  const bool moves =
      (selection.before || selection.after) &&
      (positionAfter != selection.positionBefore || selection.before != selection.after);
  if (!moves) {
    PreparedFile<PayerFileError> list(listFile, listBytes);
    list.commit();
    return;
  }

  const std::filesystem::path settingsFile = programFolder / kSettingsFileName;
  const files::FileLock lock(settingsFile);
  const SettingsFile settings(settingsFile);
  const StoredSelection during{positionAfter, lineOf(selection.after), lineOf(selection.before)};
  const StoredSelection after{positionAfter, lineOf(selection.after), std::nullopt};
  PreparedFile<PayerFileError> list(listFile, listBytes);
  PreparedFile<SettingsError> first(settingsFile,
                                    settings.prepare(kSettingsSection, selectionChanges(during)));
  PreparedFile<SettingsError> last(settingsFile,
                                   settings.prepare(kSettingsSection, selectionChanges(after)));
  first.commit();
  list.commit();
  try {
    last.commit();
  } catch (const SettingsError&) {
    // The change is made: the settings name the payer by the line the list now holds it in. The
    // old line left beside it is dropped by the next change.
  }
}

}  // namespace kvd507::payers
