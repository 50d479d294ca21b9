#include "gui/WindowMain.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <cstdlib>
#include <iostream>
#include <string>

#include "errors/Error.h"
#include "errors/Headlines.h"
#include "gui/DeclarationPrint.h"
#include "gui/DeclarationViewer.h"
#include "gui/ExportWindow.h"
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
  Tfrm_export_xml window(programFolder.path, services, opener);
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
             const std::filesystem::path& pdf) {
  // No window is shown: the pages are drawn without a display, and Qt's notes about the
  // surroundings it misses are no concern of the user's.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg || type == QtCriticalMsg) std::cerr << message.toStdString() << '\n';
  });
  QApplication application(argc, argv);
  runs::DeclarationContent content;
  try {
    content = runs::readDeclarationContent(declaration);
  } catch (...) {
    const Error error = currentError();
    std::cerr << "kvd507: " << headline::cannotReadDeclaration(declaration.filename().string())
              << ": " << error.cause(declaration.string()) << '\n';
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
