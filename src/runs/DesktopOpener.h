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
  // Shows the folder holding `file` with the file selected where the desktop's file manager
  // can; elsewhere, the folder alone. Never waits.
  virtual void showInFolder(const std::filesystem::path& file) { launch(file.parent_path() / ""); }
};

// Opens through xdg-open without waiting for the opened program: a quick failure of xdg-open
// (no handler) is reported, an xdg-open still busy after a moment counts as success. Safe to
// call from any thread.
class XdgOpener : public DesktopOpener {
 public:
  bool open(const std::filesystem::path& path) override;
  void launch(const std::filesystem::path& path) override;
  // Asks the file manager over D-Bus (org.freedesktop.FileManager1.ShowItems); when none
  // answers, opens the folder.
  void showInFolder(const std::filesystem::path& file) override;
};

// For runs that only write: opening always "succeeds" without doing anything.
class NoOpener : public DesktopOpener {
 public:
  bool open(const std::filesystem::path&) override { return true; }
};

}  // namespace kvd507::runs
