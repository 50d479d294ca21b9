#include "gui/WindowProgram.h"

#include <malloc.h>

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <cstdlib>
#include <future>
#include <iostream>
#include <string>

#include "errors/Error.h"
#include "errors/Headlines.h"
#include "gui/DeclarationPrint.h"
#include "gui/DeclarationViewer.h"
#include "gui/MainWindow.h"
#include "gui/ViewerOpener.h"
#include "gui/WindowServices.h"
#include "runs/DeclarationContent.h"
#include "runs/ProgramFolder.h"

// Our translation is built into this library, whose linker would otherwise leave it out; the
// resource's name is declared outside any namespace.
static void loadBuiltInTranslations() {
  Q_INIT_RESOURCE(kvd507_translations);
}

namespace kvd507::gui {
namespace {

// Memory the PDF program keeps once it has taken it, and the size below which a block comes
// from the heap (the most the C library allows) rather than a mapping of its own.
constexpr int kKeptMemory = 512 << 20;
constexpr int kLargestHeapBlock = 32 << 20;

// Shows what no handler caught in a message box and keeps the window running.
class GuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      QMessageBox::critical(activeWindow(), QStringLiteral("KVD507"), QString::fromUtf8(e.what()));
      return false;
    }
  }
};

bool hasValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool installLithuanian(QApplication& application) {
  auto* translator = new QTranslator(&application);
  bool installed = false;
  if (translator->load(QLocale(QLocale::Lithuanian, QLocale::Lithuania), "qt", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installed = QApplication::installTranslator(translator);
  } else {
    delete translator;
  }
  // Ours, installed last so that it is asked first: what Debian's catalogue lacks.
  loadBuiltInTranslations();
  auto* ours = new QTranslator(&application);
  if (ours->load(QStringLiteral(":/i18n/kvd507_lt.qm"))) {
    QApplication::installTranslator(ours);
  } else {
    delete ours;
  }
  return installed;
}

bool displayAvailable() {
  return hasValue("DISPLAY") || hasValue("WAYLAND_DISPLAY") || hasValue("QT_QPA_PLATFORM");
}

int runWindow(int argc, char** argv, const runs::ProgramFolder& programFolder) {
  GuardedApplication application(argc, argv);
  installLithuanian(application);
  // The installed menu entry's name: desktops find the window's icon and entry by it.
  QGuiApplication::setDesktopFileName(QStringLiteral("lt.kvd507.kvd507"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("lt.kvd507.kvd507")));
  std::string problem;
  try {
    runs::prepareProgramFolder(programFolder);
  } catch (...) {
    problem = std::string(headline::kCannotPrepareProgramFolder) + ": " + currentError().message();
  }
  QtWindowServices services(programFolder.path);
  runs::XdgOpener opener;
  MainWindow window(programFolder.path, services, opener);
  window.show();
  if (!problem.empty()) {
    services.showMessage(&window, WindowServices::MessageKind::Error, problem);
  }
  return application.exec();
}

int runViewer(int argc, char** argv, const std::filesystem::path& declaration) {
  GuardedApplication application(argc, argv);
  installLithuanian(application);
  DeclarationViewer* viewer = openViewer(declaration, nullptr);
  if (viewer == nullptr) return 1;
  return application.exec();
}

int writePdf(int argc, char** argv, const std::filesystem::path& declaration,
             const std::filesystem::path& pdf, bool verbose) {
  // No window is shown: the pages are drawn without a display, and Qt's notes about the
  // surroundings it misses are no concern of the user's.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg || type == QtCriticalMsg) std::cerr << message.toStdString() << '\n';
  });
  // Qt compresses every page into buffers of its own and frees them again; by default the C
  // library hands that memory back to the system each time and takes it anew for the next
  // page, and a long printout spent a fifth of its time in those page faults. The program
  // ends once the PDF is written, so it keeps what it took.
  mallopt(M_TRIM_THRESHOLD, kKeptMemory);
  mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
  // The declaration is read while Qt starts, on the second processor.
  auto reading = std::async(std::launch::async,
                            [&declaration] { return runs::readDeclarationContent(declaration); });
  QApplication application(argc, argv);
  runs::DeclarationContent content;
  try {
    content = reading.get();
  } catch (...) {
    const Error error = currentError();
    std::cerr << "kvd507: " << headline::cannotReadDeclaration(declaration.filename().string())
              << ": " << error.cause(declaration.string()) << '\n';
    if (verbose && !error.detail().empty()) std::cerr << "kvd507: " << error.detail() << '\n';
    return 1;
  }
  QString error;
  if (!writeDeclarationPdf(content, QString::fromStdString(pdf.string()),
                           runs::kFormDecimalSeparator, error)) {
    std::cerr << "kvd507: " << headline::kCannotWritePdf << ": " << error.toStdString() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace kvd507::gui
