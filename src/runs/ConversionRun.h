#pragma once

#include "runs/DesktopOpener.h"
#include "runs/RunRequest.h"

namespace kvd507::runs {

// "Formuoti formą" (no existing declaration in the request) or "Papildyti formą": reads the
// existing declaration when there is one, reads the workbook's rows into (or after) its rows,
// puts the review to `review` when the request asks for it, keeps the declaration being
// replaced, writes the new one and offers it to `opener`. Every page carries one payer and one
// year: the existing declaration's own when it is extended, the request's otherwise. Nothing
// the run meets leaves it: failures come back as messages in the result.
RunResult runConversion(const RunRequest& request, ProgressSink& progress, RunReview* review,
                        DesktopOpener& opener);

}  // namespace kvd507::runs
