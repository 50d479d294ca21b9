#include "gui/AboutDialog.h"

#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <system_error>

#include "gui/EnterOnButtons.h"
#include "gui/WindowLook.h"
#include "runs/ProgramFolder.h"

namespace kvd507::gui {
namespace {

// As LICENSE says.
constexpr const char* kLicence = "MIT";
constexpr const char* kDescription =
    "KVD507 deklaracijos (FFData) rengimas iš užpildyto skaičiuoklės šablono.";
constexpr const char* kFolderContents =
    "Čia laikomi mokėtojų sąrašas asmenys.txt, nustatymai _nustatymai.ini, šablonai (aplankas "
    "sablonas) ir suformuotos formos (aplankas formos).";

QString text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

QLabel* selectable(const QString& shown, const char* name, QWidget* parent) {
  auto* label = new QLabel(shown, parent);
  label->setObjectName(QLatin1String(name));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

// The folder as the user would look for it: whole, without "." or "..".
std::filesystem::path wholePath(const std::filesystem::path& folder) {
  std::error_code error;
  const std::filesystem::path whole = std::filesystem::absolute(folder, error);
  return (error ? folder : whole).lexically_normal();
}

}  // namespace

AboutFacts buildFacts(const std::filesystem::path& programFolder) {
  // The package may be installed under another prefix than the one it was built for: its
  // documentation is looked for beside the installed executables first.
  std::filesystem::path docFolder =
      (runs::executableFolder() / KVD507_GUI_DOC_FROM_BINARIES).lexically_normal();
  std::error_code error;
  if (!std::filesystem::is_directory(docFolder, error)) docFolder = KVD507_GUI_DOC_FOLDER;
  return {KVD507_GUI_VERSION, programFolder, docFolder};
}

AboutDialog::AboutDialog(const AboutFacts& facts, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Apie"));
  setFont(windowFont());
  paintCream(*this);
  letEnterPressButtons();
  auto* layout = new QVBoxLayout(this);

  auto* title = new QLabel(QStringLiteral("kvd507"), this);
  QFont large = windowFont();
  large.setBold(true);
  large.setPixelSize(20);
  title->setFont(large);
  layout->addWidget(title);
  layout->addWidget(new QLabel(QString::fromUtf8(kDescription), this));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Versija:"), selectable(text(facts.version), "version", this));
  form->addRow(QStringLiteral("Licencija:"),
               selectable(QString::fromUtf8(kLicence), "licence", this));
  form->addRow(QStringLiteral("Programos aplankas:"),
               selectable(text(wholePath(facts.programFolder).string()), "folder", this));
  layout->addLayout(form);
  auto* contents = new QLabel(QString::fromUtf8(kFolderContents), this);
  contents->setWordWrap(true);
  layout->addWidget(contents);

  // Only a whole path names the package's folder: an empty one would find the README of
  // wherever the program was started.
  const std::filesystem::path readme = facts.docFolder / "README.md";
  QFile file(text(readme.string()));
  if (facts.docFolder.is_absolute() && file.open(QIODevice::ReadOnly)) {
    auto* browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("readme"));
    browser->setOpenExternalLinks(true);
    browser->setSearchPaths({text(facts.docFolder.string())});
    browser->setMarkdown(QString::fromUtf8(file.readAll()));
    layout->addWidget(
        new QLabel(QStringLiteral("Aprašymas (%1):").arg(text(readme.string())), this));
    layout->addWidget(browser, 1);
    resize(720, 560);
  }

  auto* close = new QPushButton(QStringLiteral("Uždaryti"), this);
  close->setObjectName(QStringLiteral("close"));
  close->setAutoDefault(false);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(close, 0, Qt::AlignRight);
  close->setFocus();
}

}  // namespace kvd507::gui
