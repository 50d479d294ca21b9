#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "declaration/DeclarationHeader.h"
#include "declaration/WriterHost.h"
#include "rows/RowTable.h"

namespace kvd507::declaration {

// The whole declaration file, bytes as they are saved: byte-order mark, UTF-8, CR LF after every
// line. Reports progress to `host` (one step per row) and reads the payer and year from it.
std::string buildDeclaration(const rows::RowTable& lRows, const rows::RowTable& uRows,
                             const DeclarationHeader& header, WriterHost& host);

// Saves `bytes` as `file` without ever leaving a truncated file behind: a temporary file beside
// it is written, flushed and renamed over it; a replaced file keeps its permissions, and a
// read-only one is not replaced. Creates the containing folder when it is missing (one level).
// Throws DeclarationError naming the file and the cause.
void saveDeclaration(const std::filesystem::path& file, std::string_view bytes);

}  // namespace kvd507::declaration
