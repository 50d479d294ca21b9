#include "payers/StoredPayer.h"

#include "payers/PayerRegistry.h"

namespace kvd507::payers {

std::optional<SelectedPayer> payerAt(const std::vector<Payer>& payers, int position) {
  if (position < 0 || static_cast<std::size_t>(position) >= payers.size()) return std::nullopt;
  const Payer& payer = payers[static_cast<std::size_t>(position)];
  return SelectedPayer{payer.name, payer.code.value_or(kNoPayerCode)};
}

std::optional<SelectedPayer> storedPayer(const std::filesystem::path& programFolder) {
  const LoadedPayers loaded = PayerRegistry(programFolder).loadStored();
  return payerAt(loaded.payers, loaded.selected);
}

}  // namespace kvd507::payers
