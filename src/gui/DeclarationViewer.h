#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>

#include "runs/DeclarationContent.h"

class QTableView;

namespace kvd507::runs {
class DesktopOpener;
}

namespace kvd507::gui {

class WindowServices;

// "KVD507 forma – <file name>": a declaration as read, for looking at before handing it in.
// The main page's values, the L and U appendices as tables with page and slot, the totals and
// the findings; "Spausdinti…" and "Išsaugoti PDF…"; Escape and Ctrl+W close it. The file is
// only read.
class DeclarationViewer : public QWidget {
  Q_OBJECT

 public:
  // Where the PDF goes: asked of the user, nothing when cancelled. Tests answer it themselves.
  using PdfQuestion = std::function<std::optional<QString>(QWidget*, const QString& suggested)>;

  DeclarationViewer(runs::DeclarationContent content, char decimalSeparator,
                    QWidget* parent = nullptr);

  const runs::DeclarationContent& content() const { return content_; }
  void setPdfQuestion(PdfQuestion question) { askPdf_ = std::move(question); }
  // Where "Atverti darbaknygėje…" asks and opens; the desktop's own when not set.
  void setWorkbookServices(WindowServices& services, runs::DesktopOpener& opener) {
    workbookServices_ = &services;
    workbookOpener_ = &opener;
  }

 signals:
  // "Atverti darbaknygėje…" wrote and opened this workbook.
  void workbookOpened(const QString& workbook);

 public slots:
  void print();
  void savePdf();
  void openInWorkbook();  // ViewerWorkbook.cpp

 private:
  QTableView* makeAppendix(bool u);
  QWidget* makeTotals();

  runs::DeclarationContent content_;
  char separator_;
  PdfQuestion askPdf_;
  WindowServices* workbookServices_ = nullptr;
  runs::DesktopOpener* workbookOpener_ = nullptr;
};

}  // namespace kvd507::gui
