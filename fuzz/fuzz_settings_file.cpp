// Feeds arbitrary bytes to the settings file as its contents, reads the stored position and
// writes a new one. Whatever the file held, the value written must read back, a second write of
// it must change nothing, and every other line must stay: at most the new section and key are
// added. Seeds: fuzz/corpus/settings_file (the file's bytes, then four bytes of the position).

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ScratchFile.h"
#include "files/WholeFile.h"
#include "payers/SettingsError.h"
#include "payers/SettingsFile.h"
#include "payers/StoredPosition.h"
#include "payers/TextEncoding.h"

namespace payers = kvd507::payers;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// Lines as the settings file counts them: CR LF, CR or LF each end one.
std::size_t lineCount(std::string_view bytes) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < bytes.size(); ++count) {
    at = bytes.find_first_of("\r\n", at);
    if (at == std::string_view::npos) return count + 1;
    at += bytes.compare(at, 2, "\r\n") == 0 ? 2 : 1;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const kvd507::fuzz::ScratchFile file(".ini");
  FuzzedDataProvider input(data, size);
  const std::string position = std::to_string(input.ConsumeIntegral<int>());
  const std::string before = input.ConsumeRemainingBytesAsString();
  file.write(before);

  const payers::SettingsFile settings(file.path());
  const std::string section = payers::kSettingsSection;
  const std::string key = payers::kPositionKey;
  // NUL bytes without a UTF-16 mark: refused for reading and for writing, and left as they are.
  const bool marked = before.starts_with("\xFF\xFE") || before.starts_with("\xFE\xFF");
  if (!marked && before.find('\0') != std::string::npos) {
    for (const bool write : {false, true}) {
      try {
        if (write) {
          settings.write(section, key, position);
        } else {
          settings.read(section, key, "");
        }
        check(false);
      } catch (const payers::SettingsError& e) {
        check(e.kind() == kvd507::ErrorKind::kSettingsNotText);
      }
    }
    check(kvd507::files::readWholeFile(file.path()) == before);
    return 0;
  }
  // Two fallbacks tell a stored value from a missing one.
  const std::string stored = settings.read(section, key, "\x01");
  const bool hadKey = stored == settings.read(section, key, "\x02");
  if (hadKey) {
    // A value has no spaces or tabs around it, nor a line break in it.
    check(stored.find_first_of("\r\n") == std::string::npos);
    check(stored.empty() || (stored.front() != ' ' && stored.back() != ' '));
  }
  payers::parsePosition(stored);
  const std::string otherKey = settings.read("KITA", "x", "\x01");

  settings.write(section, key, position);
  check(settings.read(section, key, "") == position);
  check(settings.read("nustatymai", "ASMUO", "") == position);
  check(settings.read("KITA", "x", "\x01") == otherKey);

  const std::string after = kvd507::files::readWholeFile(file.path());
  // A UTF-16 file is written in UTF-16 again, its lines counted in its text.
  check(after.starts_with("\xFF\xFE") == before.starts_with("\xFF\xFE"));
  const std::size_t linesBefore = lineCount(marked ? payers::decodeText(before).text : before);
  const std::size_t linesAfter = lineCount(marked ? payers::decodeText(after).text : after);
  check(linesAfter >= linesBefore && linesAfter <= linesBefore + 2);
  if (hadKey) check(linesAfter == linesBefore);

  settings.write(section, key, position);
  check(kvd507::files::readWholeFile(file.path()) == after);
  return 0;
}
