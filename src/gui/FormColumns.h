#pragma once

#include <QString>
#include <cstddef>
#include <vector>

namespace kvd507::gui {

// One column of an appendix as the viewer and the printout show it: the row's form page and
// slot, then every field the reading takes from the form. Named as the template names the
// column above which the value was typed, so that a bookkeeper can find it in the workbook,
// with the form's field id beside the name.
struct FormColumn {
  enum class Source { Page, Slot, Cell };
  Source source = Source::Cell;
  std::size_t cell = 0;  // for Source::Cell: the row record's cell
  QString field;         // "L1".."L10", "U1".."U15"; empty for the page and the slot
  QString name;          // short, for a heading: "Gavėjo kodas"
  QString fullName;      // as the template has it, for a tooltip: "Gavėjo identifikavimas: ..."
  bool number = false;   // right-aligned
  bool wraps = false;    // long text (a name, an address) that may take several lines
};

// The columns of the L appendix (`u` false) or the U appendix, in the form's field order.
const std::vector<FormColumn>& formColumns(bool u);

// The heading of a column on one line: "Gavėjo kodas (L1)"; "Psl." for the page.
QString columnHeading(const FormColumn& column);

}  // namespace kvd507::gui
