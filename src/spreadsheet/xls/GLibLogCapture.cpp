#include "spreadsheet/xls/GLibLogCapture.h"

namespace kvd507::spreadsheet::xls {
namespace {

constexpr std::size_t kMaxMessages = 8;
constexpr std::size_t kMaxMessageLength = 400;

}  // namespace

GLibLogCapture::GLibLogCapture() : previous_(g_log_set_default_handler(&keep, this)) {}

GLibLogCapture::~GLibLogCapture() {
  // The default handler is installed without data of its own, so nothing else is lost.
  g_log_set_default_handler(previous_, nullptr);
}

void GLibLogCapture::keep(const gchar* domain, GLogLevelFlags, const gchar* message,
                          gpointer self) {
  // GLib calls C functions: nothing may be thrown back into it, and a message that cannot be
  // kept is better lost than printed.
  try {
    static_cast<GLibLogCapture*>(self)->add(domain != nullptr ? domain : "",
                                            message != nullptr ? message : "");
  } catch (...) {
  }
}

void GLibLogCapture::add(std::string_view domain, std::string_view message) {
  if (messages_.size() == kMaxMessages) return;
  std::string line(domain);
  if (!line.empty()) line += ": ";
  bool space = false;
  for (const char c : message.substr(0, kMaxMessageLength)) {
    const bool blank = c == '\n' || c == '\r' || c == '\t' || c == ' ';
    if (blank && space) continue;
    line += blank ? ' ' : c;
    space = blank;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  messages_.push_back(std::move(line));
}

std::string GLibLogCapture::joined() const {
  std::string text;
  for (const std::string& message : messages_) {
    if (!text.empty()) text += "; ";
    text += message;
  }
  return text;
}

}  // namespace kvd507::spreadsheet::xls
