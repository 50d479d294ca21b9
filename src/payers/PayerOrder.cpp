#include "payers/PayerOrder.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/stringpiece.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "errors/Error.h"

namespace kvd507::payers {
namespace {

icu::Locale collationLocale(std::string_view posixName) {
  // "lt_LT.UTF-8@euro": the code set and the modifier say nothing about the order.
  const std::string name(posixName.substr(0, posixName.find_first_of(".@")));
  if (name.empty() || name == "C" || name == "POSIX") return {"lt"};
  return {name.c_str()};
}

std::unique_ptr<icu::Collator> caseBlindCollator(std::string_view posixName) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Collator> collator(
      icu::Collator::createInstance(collationLocale(posixName), status));
  if (U_FAILURE(status)) {
    throw Error(
        ErrorKind::kNoCollation, {},
        std::string("no collation for \"") + std::string(posixName) + "\": " + u_errorName(status));
  }
  // Case differences are the third level; accents, which do order Lithuanian letters, the second.
  collator->setStrength(icu::Collator::SECONDARY);
  return collator;
}

}  // namespace

std::string collationLocaleFromEnvironment() {
  for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

void sortPayerLines(std::vector<std::string>& lines, std::string_view posixLocaleName) {
  const std::unique_ptr<icu::Collator> collator = caseBlindCollator(posixLocaleName);
  std::stable_sort(lines.begin(), lines.end(), [&](const std::string& a, const std::string& b) {
    UErrorCode status = U_ZERO_ERROR;
    return collator->compareUTF8(a, b, status) == UCOL_LESS;
  });
}

}  // namespace kvd507::payers
