#pragma once

#include <QAbstractTableModel>

#include "gui/FormColumns.h"
#include "runs/DeclarationContent.h"

namespace kvd507::gui {

// One appendix of a declaration for a table view: the rows are read from the declaration as
// the view asks for them, so that an appendix of a million rows costs no more than its rows.
// Headed as the printout is, the template's full column name in the tooltip.
class AppendixModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `content` must outlive the model.
  AppendixModel(const runs::DeclarationContent& content, bool u, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // The text of a cell as shown.
  QString text(int row, int column) const;

 private:
  const runs::DeclarationContent& content_;
  bool u_;
  const rows::RowTable& rows_;
  const std::vector<FormColumn>& columns_;
};

}  // namespace kvd507::gui
