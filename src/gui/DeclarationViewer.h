#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>

#include "runs/DeclarationContent.h"

class QTableView;

namespace kvd507::gui {

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

 public slots:
  void print();
  void savePdf();

 private:
  QTableView* makeAppendix(bool u);
  QWidget* makeTotals();

  runs::DeclarationContent content_;
  char separator_;
  PdfQuestion askPdf_;
};

}  // namespace kvd507::gui
