#pragma once

#include <QString>

#include "gui/WindowServices.h"
#include "runs/RunRequest.h"

class QWidget;

namespace kvd507::gui {

// Tells the user what a finished run has to say: its messages, the findings when they were not
// reviewed before writing, and a declaration that was written but could not be opened.
void tellRunResult(WindowServices& services, QWidget* parent, const runs::RunResult& result);

// The status line after a run: what was written and where the declaration it replaced went,
// "Forma neįrašyta" after the review was turned down, otherwise nothing.
QString statusAfterRun(const runs::RunResult& result);

}  // namespace kvd507::gui
