#include "gui/AppendixModel.h"

#include "text/XmlReferences.h"

namespace kvd507::gui {

AppendixModel::AppendixModel(const runs::DeclarationContent& content, bool u, QObject* parent)
    : QAbstractTableModel(parent),
      content_(content),
      u_(u),
      rows_(u ? content.uRows : content.lRows),
      columns_(formColumns(u)) {}

int AppendixModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int AppendixModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString AppendixModel::text(int row, int column) const {
  const auto index = static_cast<std::size_t>(row);
  const FormColumn& c = columns_[static_cast<std::size_t>(column)];
  const runs::RowPlace place =
      u_ ? runs::uRowPlace(index, content_.lRows.size()) : runs::lRowPlace(index);
  switch (c.source) {
    case FormColumn::Source::Page:
      return QString::number(place.page);
    case FormColumn::Source::Slot:
      return QString::number(place.slot);
    case FormColumn::Source::Cell:
      break;
  }
  const std::string& value = rows_[index][c.cell];
  // The name as the form shows it, its references decoded.
  if (c.cell == rows::cell::kText) return QString::fromStdString(text::decodeXmlText(value));
  return QString::fromStdString(value);
}

QVariant AppendixModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
      return columns_[static_cast<std::size_t>(index.column())].number
                 ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant AppendixModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 ||
      section >= static_cast<int>(columns_.size())) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  const FormColumn& c = columns_[static_cast<std::size_t>(section)];
  if (role == Qt::DisplayRole) return c.field.isEmpty() ? c.name : c.name + "\n" + c.field;
  if (role == Qt::ToolTipRole) {
    return c.field.isEmpty() ? c.fullName : c.field + ": " + c.fullName;
  }
  return {};
}

}  // namespace kvd507::gui
