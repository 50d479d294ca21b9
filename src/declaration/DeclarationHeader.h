#pragma once

#include <string>
#include <string_view>

namespace kvd507::declaration {

// The main page's values taken over from a declaration being extended. Each holds its own
// field name until a declaration sets it; the writer writes whatever they hold.
struct DeclarationHeader {
  // Not-set markers: each field's own name.
  static constexpr std::string_view kNoId = "ff_mm_id";
  static constexpr std::string_view kNoName = "ff_mm_pavad";
  static constexpr std::string_view kNoYear = "ff_mm_metai";

  std::string id{kNoId};
  std::string name{kNoName};
  std::string year{kNoYear};

  // Any name other than the not-set marker, the empty text included, means a declaration is
  // being extended and its header is kept.
  bool isExtended() const { return name != kNoName; }
  void reset() { *this = DeclarationHeader{}; }
};

// The main page of a new declaration for the payer `code` and `name` and the year: the name
// trimmed, upper-cased (a to z only) and escaped as the file carries it, the others trimmed.
DeclarationHeader newDeclarationHeader(std::string_view code, std::string_view name,
                                       std::string_view year);

}  // namespace kvd507::declaration
