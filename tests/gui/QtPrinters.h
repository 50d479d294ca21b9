#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// GoogleTest shows Qt's strings by their text rather than by the bytes of the object. Found by
// argument-dependent lookup, so they live where QString does.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out) {
  *out << '{';
  for (qsizetype i = 0; i < texts.size(); ++i) {
    if (i != 0) *out << ", ";
    PrintTo(texts[i], out);
  }
  *out << '}';
}
