#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "runs/DeclarationContent.h"

namespace kvd507::gui {

// One appendix of a declaration as a table: the page and slot of every row, then every field
// the reading takes from the form, headed by the field's name (and, for the amounts, the
// template's own column name).
struct AppendixTable {
  QString title;  // "KVD507L", "KVD507U"
  QStringList headers;
  QStringList shortHeaders;        // field names only, for the narrow printed page
  std::vector<bool> rightAligned;  // amounts and numbers
  std::vector<int> widths;         // relative widths on the printed page
  std::vector<QStringList> rows;
};

AppendixTable lAppendix(const runs::DeclarationContent& content);
AppendixTable uAppendix(const runs::DeclarationContent& content);

// Totals as lines of text: per appendix (rows, pages, both amounts) and per letter and code.
std::vector<QString> totalsLines(const runs::DeclarationContent& content, char decimalSeparator);

// The findings a declaration alone shows, one line each; "Pastabų nėra." when there are none.
std::vector<QString> findingLines(const runs::DeclarationContent& content);

}  // namespace kvd507::gui
