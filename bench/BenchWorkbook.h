#pragma once

#include <cstdint>
#include <filesystem>

namespace kvd507::bench {

inline constexpr std::uint32_t kDefaultLRows = 100'000;
inline constexpr std::uint32_t kDefaultURows = 50'000;

// Writes a filled workbook of the template's layout: `lRows` payment rows on "KVD507 L" and
// `uRows` on "KVD507 U", from row 6, below a five-row header. The content is made up but shaped
// like a large payer's: mostly people, some companies, codes of one to three characters,
// amounts with cents, and recipients paid more than once under the same code, whose rows merge.
// The same arguments always give the same cells. Throws std::runtime_error when the file cannot
// be written.
void writeBenchWorkbook(const std::filesystem::path& file, std::uint32_t lRows,
                        std::uint32_t uRows);

}  // namespace kvd507::bench
