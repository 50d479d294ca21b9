#pragma once

#include "runs/DesktopOpener.h"
#include "runs/RunHost.h"
#include "runs/RunState.h"

namespace kvd507::runs {

// How a run ended, for callers that care (the command line's exit status).
enum class RunOutcome {
  Written,     // the declaration was saved (and offered to the desktop)
  NoRecords,   // the workbook held no rows; nothing was written
  NoWorkbook,  // no workbook was chosen
  Failed,      // something failed; the user was told what
  NotWritten,  // the workbook was read and reported on, but the settings said not to write
  Stopped,     // the user ended the program during the run; nothing was written
  Cancelled,   // the user looked at what was read and chose not to write
};

// "Formuoti formą": a new declaration from the chosen workbook.
RunOutcome runGeneration(RunHost& host, RunState& state, const RunSettings& settings,
                         DesktopOpener& opener);

// "Papildyti formą": asks for an existing declaration, takes over its header and rows, adds the
// chosen workbook's rows to them and writes the result as a new declaration.
RunOutcome runAppend(RunHost& host, RunState& state, const RunSettings& settings,
                     DesktopOpener& opener);

// Writes the declaration from the tables and asks the desktop to open it.
void Export2XML(RunHost& host, const RunState& state, const RunSettings& settings,
                DesktopOpener& opener);

}  // namespace kvd507::runs
