#pragma once

#include <filesystem>

namespace kvd507::runs {

// The desktop's "open": shows a file or folder in the application registered for it.
class DesktopOpener {
 public:
  virtual ~DesktopOpener() = default;
  // False when nothing could open it.
  virtual bool open(const std::filesystem::path& path) = 0;
  // The same where the outcome does not matter (the folders, the web site): never waits.
  virtual void launch(const std::filesystem::path& path) { open(path); }
};

// Opens through xdg-open without waiting for the opened program: a quick failure of xdg-open
// (no handler) is reported, an xdg-open still busy after a moment counts as success. Safe to
// call from any thread.
class XdgOpener : public DesktopOpener {
 public:
  bool open(const std::filesystem::path& path) override;
  void launch(const std::filesystem::path& path) override;
};

// For runs that only write: opening always "succeeds" without doing anything.
class NoOpener : public DesktopOpener {
 public:
  bool open(const std::filesystem::path&) override { return true; }
};

}  // namespace kvd507::runs
