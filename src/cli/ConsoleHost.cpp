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

void ConsoleHost::showError(std::string_view text, std::string_view detail) {
  clearStatusLine();
  err_ << "kvd507: " << oneLine(text) << '\n';
  if (verbose_ && !detail.empty()) err_ << "kvd507: " << oneLine(detail) << '\n';
}

void ConsoleHost::showInformation(std::string_view text) {
  clearStatusLine();
  err_ << "kvd507: " << oneLine(text) << '\n';
}

void ConsoleHost::showWarning(std::string_view text) {
  clearStatusLine();
  err_ << "kvd507: įspėjimas: " << oneLine(text) << '\n';
}

}  // namespace kvd507::cli
