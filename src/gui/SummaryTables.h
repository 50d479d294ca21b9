#pragma once

#include "runs/RunSummary.h"

class QTableWidget;
class QWidget;

namespace kvd507::gui {

// The summary of a run as two read-only tables: one line per sheet (rows read, merged, in the
// form, pages and the totals of both amounts) and one per letter and code.
QTableWidget* makeSheetTable(const runs::RunSummary& summary, char decimalSeparator,
                             QWidget* parent);
QTableWidget* makeCodeTable(const runs::RunSummary& summary, char decimalSeparator,
                            QWidget* parent);

// A table that shows what it holds without editing, sized to its contents.
void setUpReadOnlyTable(QTableWidget& table);

}  // namespace kvd507::gui
