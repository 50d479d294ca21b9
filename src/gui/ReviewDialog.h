#pragma once

#include <QDialog>
#include <string>

#include "runs/RunReport.h"
#include "runs/WriteReview.h"

class QLabel;
class QTreeWidget;

namespace kvd507::gui {

// "Formos peržiūra": shown after reading and before writing when a run found something. The
// summary as tables, then the findings grouped by kind, the heaviest first, each group
// expandable to its rows. "Formuoti" accepts (write), "Atšaukti" rejects (write nothing).
class ReviewDialog : public QDialog {
  Q_OBJECT

 public:
  ReviewDialog(const runs::RunReport& report, char decimalSeparator, QWidget* parent = nullptr);
  // The same with what the declaration will carry and replace on top; "Formuoti" is the default
  // button only when runs::writeByDefault says so.
  ReviewDialog(const runs::WriteReview& review, char decimalSeparator, QWidget* parent = nullptr);

  // Puts the findings table on the clipboard, TAB-separated with a header line, and says so
  // below the buttons.
  void copyFindings();

 private:
  QTreeWidget* makeFindings(const runs::RunReport& report);
  void addFacts(const runs::WriteReview& review, char decimalSeparator);

  std::string table_;
  int shown_ = 0;  // lines of the table: the findings kept and one per kind for the rest
  QLabel* copied_ = nullptr;
};

}  // namespace kvd507::gui
