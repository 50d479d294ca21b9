#include "gui/FormColumns.h"

namespace kvd507::gui {
namespace {

using Source = FormColumn::Source;

FormColumn field(bool u, int number, std::size_t cell, const char* name, const char* fullName,
                 bool isNumber = false, bool wraps = false) {
  return {Source::Cell,
          cell,
          QString(u ? "U" : "L") + QString::number(number),
          QString::fromUtf8(name),
          QString::fromUtf8(fullName),
          isNumber,
          wraps};
}

std::vector<FormColumn> makeColumns(bool u) {
  std::vector<FormColumn> columns{
      {Source::Page, 0, {}, "Psl.", "Formos puslapis (pagrindinis puslapis – 1)", true, false},
      {Source::Slot, 0, {}, "Vt.", "Eilutės vieta formos puslapyje", true, false},
  };
  const char* kinds =
      u ? "Kuris gavėjo identifikavimo stulpelis užpildytas: 1 – asmens kodas, 2 – įmonės kodas, "
          "3 – mokesčių mokėtojo kodas, 4 – užsienio valstybės mokesčių mokėtojo kodas, "
          "5 – asmens dokumento numeris, 6 – gimimo data"
        : "Kuris gavėjo identifikavimo stulpelis užpildytas: 1 – asmens kodas, 2 – įmonės kodas, "
          "3 – mokesčių mokėtojo kodas, 4 – užsienio valstybės mokesčių mokėtojo kodas, "
          "5 – gimimo data";
  columns.push_back(field(u, 1, 0, "Gavėjo kodas",
                          "Gavėjo identifikavimas (pildomas vienas stulpelis): asmens, įmonės, "
                          "mokesčių mokėtojo ar užsienio valstybės mokesčių mokėtojo kodas, "
                          "gimimo data"));
  columns.push_back(field(u, 2, 1, "Kodo rūšis", kinds, true));
  columns.push_back(field(u, 3, 2, "Gavėjas", "Gavėjo vardas, pavardė / pavadinimas", false, true));
  columns.push_back(field(u, 4, 3, "Grupė", "Išmokos grupė: A arba B"));
  columns.push_back(field(u, 5, 4, "Išmokos kodas", "Išmokos kodas"));
  columns.push_back(field(u, 6, 5, "N", "N – išmoka, nuo kurios mokestis neišskaičiuotas"));
  columns.push_back(field(u, 7, 6, "D", "D – trečiasis išmokos kodo ženklas"));
  columns.push_back(field(u, 8, 7, "Išmokos suma", "Išmokos suma, Eur", true));
  columns.push_back(field(u, 9, 8, "Tarifas", "Mokesčio tarifas, proc.", true));
  columns.push_back(field(u, 10, 9, "Mokestis", "Išskaičiuota mokesčio suma, Eur", true));
  if (u) {
    columns.push_back(field(u, 12, 10, "Valstybė", "Gavėjo duomenys: valstybės kodas"));
    columns.push_back(field(u, 13, 11, "Adresas", "Gavėjo duomenys: adresas", false, true));
    columns.push_back(
        field(u, 14, 12, "Miestas", "Gavėjo duomenys: miestas / vietovė", false, true));
    columns.push_back(field(u, 15, 13, "Pašto kodas", "Gavėjo duomenys: pašto kodas", false, true));
  }
  return columns;
}

}  // namespace

const std::vector<FormColumn>& formColumns(bool u) {
  static const std::vector<FormColumn> l = makeColumns(false);
  static const std::vector<FormColumn> uColumns = makeColumns(true);
  return u ? uColumns : l;
}

QString columnHeading(const FormColumn& column) {
  return column.field.isEmpty() ? column.name : column.name + " (" + column.field + ")";
}

}  // namespace kvd507::gui
