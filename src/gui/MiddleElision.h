#pragma once

#include <QString>

class QLabel;

namespace kvd507::gui {

// What a one-line label shows of its text in the width it has: the whole text when it fits,
// otherwise its start and its end with "…" between them, so that a file name keeps its
// extension. The label's text itself stays whole.
QString middleElided(const QLabel& label);

// Makes `label` show its text that way from now on, recomputed whenever it is painted, so that
// it follows the label's width.
void elideInTheMiddle(QLabel& label);

}  // namespace kvd507::gui
