#include "cli/ConsoleHost.h"

#include "errors/Error.h"

namespace kvd507::cli {

void ConsoleHost::setStatus(std::string_view text) {
  if (!statusLine_) return;
  // Carriage return and erase-to-end-of-line: the status line is rewritten in place.
  err_ << '\r' << text << "\x1b[K" << std::flush;
  statusShown_ = !text.empty();
}

void ConsoleHost::clearStatusLine() {
  if (statusShown_) {
    err_ << "\r\x1b[K";
    statusShown_ = false;
  }
}

void ConsoleHost::printMessages(const runs::RunResult& result, bool verbose) {
  clearStatusLine();
  for (const runs::RunMessage& message : result.messages) {
    const char* prefix =
        message.kind == runs::RunMessage::Kind::Warning ? "kvd507: įspėjimas: " : "kvd507: ";
    err_ << prefix << oneLine(message.text) << '\n';
    if (verbose && !message.detail.empty()) err_ << "kvd507: " << oneLine(message.detail) << '\n';
  }
}

}  // namespace kvd507::cli
