#pragma once

#include <QString>
#include <vector>

#include "runs/DeclarationContent.h"

namespace kvd507::gui {

// Totals as lines of text: per appendix (rows, pages, both amounts) and per letter and code.
std::vector<QString> totalsLines(const runs::DeclarationContent& content, char decimalSeparator);

// The findings a declaration alone shows, one line each; "Pastabų nėra." when there are none.
std::vector<QString> findingLines(const runs::DeclarationContent& content);

}  // namespace kvd507::gui
