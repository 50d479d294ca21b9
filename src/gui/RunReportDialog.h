#pragma once

#include <QDialog>
#include <string>

#include "runs/RunReport.h"

class QTableWidget;

namespace kvd507::gui {

// Shown after a run that found something: what the declaration holds, and a table of the
// findings (sheet, row, column, text) that can be copied whole to paste into a spreadsheet.
class RunReportDialog : public QDialog {
  Q_OBJECT

 public:
  RunReportDialog(const runs::RunReport& report, char decimalSeparator, QWidget* parent = nullptr);

  // Puts the findings table on the clipboard, TAB-separated with a header line.
  void copyFindings() const;

 private:
  QTableWidget* makeTable(const runs::RunReport& report);

  std::string table_;
};

}  // namespace kvd507::gui
