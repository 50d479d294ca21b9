#pragma once

#include <string>

namespace kvd507::declaration {

// The main page's values taken over from a declaration being extended. Each holds its own
// field name until a declaration sets it; the writer writes whatever they hold.
struct DeclarationHeader {
  std::string id = "ff_mm_id";
  std::string name = "ff_mm_pavad";
  std::string year = "ff_mm_metai";

  // Any name other than the not-set marker, the empty text included, means a declaration is
  // being extended and its header is kept.
  bool isExtended() const { return name != "ff_mm_pavad"; }
  void reset() { *this = DeclarationHeader{}; }
};

}  // namespace kvd507::declaration
