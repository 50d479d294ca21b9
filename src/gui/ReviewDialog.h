#pragma once

#include <QDialog>
#include <string>

#include "runs/RunReport.h"
#include "runs/WriteReview.h"

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

  // Puts the findings table on the clipboard, TAB-separated with a header line.
  void copyFindings() const;

 private:
  QTreeWidget* makeFindings(const runs::RunReport& report);
  void addFacts(const runs::WriteReview& review, char decimalSeparator);

  std::string table_;
};

}  // namespace kvd507::gui
