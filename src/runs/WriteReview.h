#pragma once

#include <optional>
#include <string>
#include <vector>

#include "declaration/DeclarationHeader.h"
#include "runs/KeptDeclarations.h"
#include "runs/RunReport.h"

namespace kvd507::runs {

// What a run puts to the user before it writes: what the declaration will carry, what it
// replaces, and what was noticed.
struct WriteReview {
  RunReport report;
  declaration::DeclarationHeader header;  // the main page as it will be written
  // The payer and year chosen when the run started; an append run keeps the declaration's own.
  std::string chosenPayerName;
  std::string chosenPayerCode;
  std::string chosenYear;
  bool appending = false;
  std::optional<ReplacedDeclaration> replaced;
  bool keepsReplaced = false;  // the replaced declaration goes to "ankstesnės"
};

// "Papildoma 2024 m. forma: UAB X (302222222); lange pasirinkta: UAB Y (123456789), 2025 m.":
// an append run whose declaration names another payer or year than the one chosen.
std::optional<std::string> chosenPayerDiffers(const WriteReview& review);

// The lines above the tables, in this order: the difference above (when there is one), the
// payer and year, the whole form's totals, and what the declaration replaces.
std::vector<std::string> reviewFacts(const WriteReview& review, char decimalSeparator);

// "Formuoti" is the default answer only when nothing was noticed, the payer and year are the
// ones chosen, and what is replaced is of the same payer and year.
bool writeByDefault(const WriteReview& review);

}  // namespace kvd507::runs
