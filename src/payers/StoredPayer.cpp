#include "payers/StoredPayer.h"

#include <system_error>

#include "payers/PayerFile.h"
#include "payers/PayerFileError.h"
#include "payers/StoredPosition.h"

namespace kvd507::payers {
namespace {

std::vector<Payer> loadablePayers(const PayerFile& file) {
  try {
    return file.payers();
  } catch (const EmptyPayerLineError& e) {
    return e.payersBefore();
  }
}

}  // namespace

std::optional<SelectedPayer> payerAt(const std::vector<Payer>& payers, int position) {
  if (position < 0 || static_cast<std::size_t>(position) >= payers.size()) return std::nullopt;
  const Payer& payer = payers[static_cast<std::size_t>(position)];
  return SelectedPayer{payer.name, payer.code.value_or(kNoPayerCode)};
}

std::optional<SelectedPayer> storedPayer(const std::filesystem::path& programFolder) {
  const int position = readStoredPosition(programFolder);
  const std::filesystem::path list = programFolder / kPayerFileName;
  std::error_code error;
  // Only a list that is plainly not there is silent; one that cannot be looked at is read, and
  // the read reports why.
  if (!std::filesystem::exists(list, error) && !error) return std::nullopt;
  return payerAt(loadablePayers(PayerFile::read(list)), position);
}

}  // namespace kvd507::payers
