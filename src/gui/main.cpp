// The window program, which `kvd507` becomes for its window: `kvd507-window [--folder DIR]` for
// the main window, `--view FILE` for the declaration viewer, `--pdf FILE OUT [--verbose]` to draw
// a declaration as a PDF without a display.
#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "errors/UncaughtError.h"
#include "files/RemovedOnSignal.h"
#include "gui/WindowProgram.h"
#include "runs/ProgramFolder.h"

namespace {

// What can be done without a window, told whenever there is no display to open one on.
constexpr const char* kWithoutADisplay =
    "Be ekrano dirbama komandomis: kvd507 convert DARBAKNYGĖ, kvd507 check DARBAKNYGĖ, "
    "kvd507 show FORMA [--pdf FAILAS]; daugiau: kvd507 --help\n";

QtMessageHandler qtHandler = nullptr;

// A display that is named but cannot be reached (its server gone, or not ours to use) makes Qt
// end the program with an English message and an abort; it is said as a missing display is.
void endWhenTheDisplayIsOutOfReach(QtMsgType type, const QMessageLogContext& context,
                                   const QString& message) {
  if (message.contains(QLatin1String("could not connect to display")) ||
      message.contains(QLatin1String("Could not load the Qt platform plugin"))) {
    return;
  }
  if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
    const char* display = std::getenv("DISPLAY");
    std::cerr << "kvd507: nepavyko prisijungti prie ekrano"
              << (display != nullptr ? std::string(" ") + display : std::string())
              << " (gal jis išjungtas?).\n"
              << kWithoutADisplay;
    std::_Exit(1);
  }
  if (qtHandler != nullptr) qtHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  kvd507::files::prepareSignalsForWriting();
  try {
    const std::string first = argc > 1 ? argv[1] : "";
    const bool verbose = argc == 5 && std::string(argv[4]) == "--verbose";
    if ((argc == 4 || verbose) && first == "--pdf") {
      return kvd507::gui::writePdf(argc, argv, argv[2], argv[3], verbose);
    }
    const bool window = argc == 1 || (argc == 3 && first == "--folder");
    const bool viewer = argc == 3 && first == "--view";
    if (!window && !viewer) {
      std::cerr << "Naudojimas: kvd507-window [--folder APLANKAS | --view FORMA | --pdf FORMA "
                   "FAILAS [--verbose]]\n";
      return 2;  // as the commands answer a wrong usage
    }
    // Qt would abort with an English message of its own.
    if (!kvd507::gui::displayAvailable()) {
      std::cerr << "kvd507: nėra ekrano, kuriame atverti langą (nenustatytas nei DISPLAY, nei "
                   "WAYLAND_DISPLAY).\n"
                << kWithoutADisplay;
      return 1;
    }
    qtHandler = qInstallMessageHandler(endWhenTheDisplayIsOutOfReach);
    if (viewer) return kvd507::gui::runViewer(argc, argv, argv[2]);
    std::optional<std::filesystem::path> chosen;
    if (argc == 3) chosen = argv[2];
    return kvd507::gui::runWindow(
        argc, argv, kvd507::runs::programFolder(chosen, kvd507::runs::Program::kWindow));
  } catch (...) {
    kvd507::printUncaughtError(std::cerr);
    return 1;
  }
}
