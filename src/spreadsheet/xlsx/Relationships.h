#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/xlsx/ZipArchive.h"

namespace kvd507::spreadsheet::xlsx {

// One link from a part to another, as its ".rels" part lists it.
struct Relationship {
  std::string id;
  std::string type;
  std::string target;  // the target part's name in the archive, resolved
  bool external = false;

  // Whether the type's last segment is `kind` ("worksheet", "officeDocument"): transitional
  // and strict files name the same kinds under different namespaces.
  bool isKind(std::string_view kind) const;
};

// The relationships of `source` ("" for the package itself). A missing ".rels" part has none.
std::vector<Relationship> readRelationships(ZipArchive& archive, std::string_view source,
                                            std::uint64_t limit);

// The part a relationship of `source` points to: targets are relative to the source's folder
// unless they begin with "/".
std::string resolveTarget(std::string_view source, std::string_view target);

}  // namespace kvd507::spreadsheet::xlsx
