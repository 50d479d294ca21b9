#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "declaration/DeclarationHeader.h"
#include "declaration/WriterHost.h"
#include "files/WholeFile.h"
#include "rows/RowTable.h"

namespace kvd507::declaration {

// Where the declaration's bytes go, in pieces of some tens of kilobytes, front to back.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void write(std::string_view bytes) = 0;
  // Takes the bytes of `bytes` and leaves it empty, maybe with storage of the sink's own, so
  // that a sink keeping them need not copy them.
  virtual void writeTaking(std::string& bytes) {
    write(bytes);
    bytes.clear();
  }
};

// Writes the whole declaration file, bytes as they are saved: byte-order mark, UTF-8, CR LF
// after every line. The main page carries `header` (trimmed; the name as it stands, in file
// form), and every appendix footer its payer code and year, so that every page of the file
// names one payer and one year. Reports progress to `host` (one step per row). Only a small
// buffer is held, whatever the number of rows.
void writeDeclaration(ByteSink& sink, const rows::RowTable& lRows, const rows::RowTable& uRows,
                      const DeclarationHeader& header, WriterHost& host);

// writeDeclaration into a string.
std::string buildDeclaration(const rows::RowTable& lRows, const rows::RowTable& uRows,
                             const DeclarationHeader& header, WriterHost& host);

// Saves `bytes` as `file` without ever leaving a truncated file behind: a temporary file beside
// it is written, flushed and renamed over it; a replaced file keeps its permissions, and a
// read-only one is not replaced. Creates the containing folder when it is missing (one level).
// Throws DeclarationError naming the file and the cause.
void saveDeclaration(const std::filesystem::path& file, std::string_view bytes);

// Writes the declaration straight into the temporary file that saveDeclaration renames into
// place, so that it is never held whole; the same guarantees and errors. `beforeReplacing` is
// called once all is written and before the file is replaced; whatever it throws leaves the
// previous file as it was. None of `inputs` (the files the run read) is replaced, nor anything
// but a regular file.
void saveDeclaration(const std::filesystem::path& file, const rows::RowTable& lRows,
                     const rows::RowTable& uRows, const DeclarationHeader& header, WriterHost& host,
                     const std::function<void()>& beforeReplacing = {},
                     const files::InputFiles& inputs = {});

}  // namespace kvd507::declaration
