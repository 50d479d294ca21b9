#pragma once

#include <glib.h>

#include <string>
#include <string_view>
#include <vector>

namespace kvd507::spreadsheet::xls {

// While it lives, what GLib and the libraries built on it log (libgsf warns about damaged
// compound files that way) is kept here instead of being printed on stderr, where a user of
// the command line would see it raw and a user of the window not at all. It belongs in the
// detail of the error the damage leads to, or nowhere when the file could be read after all.
// Only one may live at a time; what other threads log meanwhile is kept too.
class GLibLogCapture {
 public:
  GLibLogCapture();
  ~GLibLogCapture();
  GLibLogCapture(const GLibLogCapture&) = delete;
  GLibLogCapture& operator=(const GLibLogCapture&) = delete;

  // The messages in the order logged, each on one line. A damaged file can make a library
  // repeat itself, so only the first few are kept.
  const std::vector<std::string>& messages() const { return messages_; }
  // The messages joined by "; ".
  std::string joined() const;

 private:
  static void keep(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer self);
  void add(std::string_view domain, std::string_view message);

  std::vector<std::string> messages_;
  GLogFunc previous_;
};

}  // namespace kvd507::spreadsheet::xls
