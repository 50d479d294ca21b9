#include "runs/WorkbookLock.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/RegularFile.h"
#include "rows/Text.h"
#include "text/Utf8.h"

namespace kvd507::runs {
namespace {

// A lock file is a line or a few hundred bytes; nothing past this is looked at.
constexpr std::size_t kLockBytes = 512;
constexpr std::size_t kLongestName = 60;

std::string head(const std::filesystem::path& file) {
  std::array<char, kLockBytes> buffer{};
  std::size_t got = 0;
  try {
    files::RegularFile in(file);
    got = in.readUpTo(buffer.data(), buffer.size());
  } catch (...) {
    // Unreadable, it still says the workbook is open; only the name is not told.
  }
  return {buffer.data(), got};
}

// A name fit to be shown in one line: valid UTF-8, no control characters, not too long.
std::string shownName(std::string_view name) {
  std::string text(rows::trim(name));
  if (text.empty() || text::firstInvalidUtf8(text)) return {};
  rows::makeControlsSpaces(text);
  if (rows::characterCount(text) > kLongestName) {
    text = std::string(rows::firstCharacters(text, kLongestName)) + "…";
  }
  return text;
}

// LibreOffice writes "author,user,host,date,profile;": the author's name as its settings give
// it, which may be empty, then the system's user name and the computer's.
std::string libreOfficeUser(std::string_view lock) {
  std::vector<std::string_view> fields;
  while (fields.size() < 2) {
    const std::size_t comma = lock.find(',');
    fields.push_back(lock.substr(0, comma));
    if (comma == std::string_view::npos) break;
    lock.remove_prefix(comma + 1);
  }
  std::string name = shownName(fields[0]);
  if (name.empty() && fields.size() == 2) name = shownName(fields[1]);
  return name;
}

// The UTF-16 copy of the name in an Excel owner file: from byte 54, its length in characters
// in two bytes, then the characters, little-endian.
std::string wideExcelUser(std::string_view owner) {
  constexpr std::size_t kWideName = 54;
  if (owner.size() < kWideName + 2) return {};
  const std::size_t length =
      static_cast<unsigned char>(owner[kWideName]) |
      static_cast<std::size_t>(static_cast<unsigned char>(owner[kWideName + 1])) << 8;
  if (length == 0 || owner.size() < kWideName + 2 + 2 * length) return {};
  std::u16string wide;
  for (std::size_t i = 0; i < length; ++i) {
    const std::size_t at = kWideName + 2 + 2 * i;
    wide += static_cast<char16_t>(static_cast<unsigned char>(owner[at]) |
                                  static_cast<unsigned char>(owner[at + 1]) << 8);
  }
  // Surrogates: not worth the trouble of a name.
  if (std::any_of(wide.begin(), wide.end(),
                  [](char16_t c) { return text::isHighSurrogate(c) || text::isLowSurrogate(c); })) {
    return {};
  }
  const std::string name = text::utf16ToUtf8(wide);
  return shownName(name);
}

// Excel's owner file starts with the length of the user's name in one byte and the name in the
// system's code page, padded to 54 bytes, and goes on with the same name in UTF-16, which is
// read when it is there: a code page cannot be told from the bytes.
std::string excelUser(std::string_view owner) {
  if (std::string wide = wideExcelUser(owner); !wide.empty()) return wide;
  if (owner.empty()) return {};
  const auto length = static_cast<unsigned char>(owner[0]);
  if (length == 0 || owner.size() < 1u + length) return {};
  const std::string_view name = owner.substr(1, length);
  for (const char c : name) {
    if (static_cast<unsigned char>(c) >= 0x80) return {};  // a code page we cannot tell
  }
  return shownName(name);
}

bool isFile(const std::filesystem::path& file) {
  std::error_code error;
  return std::filesystem::is_regular_file(file, error);
}

}  // namespace

std::optional<rows::Finding> workbookOpenElsewhere(const std::filesystem::path& workbook) {
  const std::filesystem::path folder = workbook.parent_path();
  const std::string name = workbook.filename().string();
  std::optional<std::filesystem::path> lock;
  std::string user;
  if (const auto office = folder / (".~lock." + name + "#"); isFile(office)) {
    lock = office;
    user = libreOfficeUser(head(office));
  } else if (const auto owner = folder / ("~$" + name); isFile(owner)) {
    // Excel names its owner file after the whole workbook name: "~$jonas.xlsx" belongs to
    // "jonas.xlsx", not to "abjonas.xlsx".
    lock = owner;
    user = excelUser(head(owner));
  }
  if (!lock) return std::nullopt;
  std::string text =
      "darbaknygė atidaryta kitoje programoje: neišsaugoti pakeitimai nebus perskaityti (" +
      lock->filename().string() + (user.empty() ? "" : ", atidarė " + user) + ")";
  return rows::Finding{rows::Finding::Kind::WorkbookOpen, {}, 0, {}, std::move(text)};
}

}  // namespace kvd507::runs
