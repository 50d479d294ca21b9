#pragma once

#include <QString>

#include "runs/DeclarationContent.h"

class QPagedPaintDevice;

namespace kvd507::gui {

// Draws the declaration on the pages of `device` (a printer or a PDF writer set to A4): the
// main page's values, both appendices as tables, the totals and the findings. Every page is
// headed by the payer and the year and numbered "1 iš N"; a table cut by a page break repeats
// its header. Returns the number of pages, 0 when the device could not be painted on.
int paintDeclaration(QPagedPaintDevice& device, const runs::DeclarationContent& content,
                     char decimalSeparator);

// Writes the same as an A4 PDF file, replacing `file` only once it is whole. False, with the
// reason in `error` (in Lithuanian), when it cannot be written.
bool writeDeclarationPdf(const runs::DeclarationContent& content, const QString& file,
                         char decimalSeparator, QString& error);

}  // namespace kvd507::gui
