#pragma once

#include <QDialog>
#include <filesystem>
#include <string>

namespace kvd507::gui {

// What "Apie" tells.
struct AboutFacts {
  std::string version;
  std::filesystem::path programFolder;  // where the payer list, settings, template and forms are
  std::filesystem::path docFolder;      // the installed package's documentation; may not exist
};

// The facts of this build, for a window on `programFolder`.
AboutFacts buildFacts(const std::filesystem::path& programFolder);

// "Apie": the program's version and licence, the folder it keeps its files in and, where the
// package is installed, its README.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(const AboutFacts& facts, QWidget* parent = nullptr);
};

}  // namespace kvd507::gui
