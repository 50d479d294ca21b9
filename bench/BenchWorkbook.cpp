#include "BenchWorkbook.h"

#include <xlsxwriter.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

#include "rows/Identifiers.h"

namespace kvd507::bench {
namespace {

constexpr std::uint32_t kFirstDataRow = 6;  // 1-based, as the reader counts

// A fixed generator, so that every run of the benchmark reads the same cells.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  std::uint32_t below(std::uint32_t bound) { return static_cast<std::uint32_t>(next() % bound); }
  bool chance(std::uint32_t percent) { return below(100) < percent; }
  template <typename T, std::size_t N>
  const T& pick(const std::array<T, N>& items) {
    return items[below(N)];
  }

 private:
  std::uint64_t state_;
};

constexpr std::array<std::string_view, 12> kMaleFirst{
    "Jonas", "Petras",    "Antanas", "Žydrūnas", "Kęstutis", "Vytautas",
    "Tomas", "Mindaugas", "Darius",  "Šarūnas",  "Algirdas", "Rimantas"};
constexpr std::array<std::string_view, 12> kMaleLast{
    "Petraitis", "Kazlauskas", "Šliūpas", "Vaitkus",   "Čepulis",    "Grigas",
    "Bružas",    "Šimkus",     "Vėjelis", "Žukauskas", "Jankauskas", "Navickas"};
constexpr std::array<std::string_view, 12> kFemaleFirst{"Ona",   "Rūta",   "Dalia",  "Gintarė",
                                                        "Eglė",  "Laima",  "Irena",  "Giedrė",
                                                        "Aušra", "Živilė", "Jūratė", "Ąžuolė"};
constexpr std::array<std::string_view, 12> kFemaleLast{
    "Kazlauskienė", "Jankauskaitė", "Mockutė",  "Žemaitytė", "Navickaitė", "Žilinskienė",
    "Čiurlionienė", "Ąžuolaitė",    "Grigaitė", "Vilkienė",  "Kairytė",    "Ščiukaitė"};
constexpr std::array<std::string_view, 4> kCompanyForms{"UAB", "AB", "MB", "VšĮ"};
constexpr std::array<std::string_view, 10> kCompanyNames{
    "Ąžuolas", "Šviesa",       "Kūrybos namai", "Baltijos linija", "Žalgiris",
    "Vėtrūna", "Miško keliai", "Šilas",         "Gintaro krantas", "Ūkio technika"};
constexpr std::array<std::string_view, 11> kCountries{"LV", "PL", "DE", "NO", "SE", "FI",
                                                      "GB", "IE", "US", "UA", "EE"};
constexpr std::array<std::string_view, 8> kStreets{
    "Brīvības iela",        "ul. Długa", "Hauptstraße",    "Storgata", "Drottninggatan",
    "High St & Market Sq.", "Main St",   "Mannerheimintie"};
constexpr std::array<std::string_view, 8> kCities{"Rīga",   "Gdańsk", "München",     "Oslo",
                                                  "Bergen", "Dublin", "Chicago, IL", "Tallinn"};
// Codes of one, two and three characters: the reader pads the first and cuts the last.
constexpr std::array<std::string_view, 12> kCodes{"01", "02",  "03", "5",   "07", "10",
                                                  "12", "12D", "13", "121", "30", "7"};
constexpr std::array<std::string_view, 3> kRates{"15", "20", "0"};

std::string digits(Random& random, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += static_cast<char>('0' + random.below(10));
  return text;
}

// Everything about a recipient that stays the same from one payment to the next, so that its
// payments under one code share a merge key. Derived from the recipient's number alone.
struct Recipient {
  std::string name;
  std::uint32_t identifierColumn = 0;  // offset among the identifier columns
  std::string identifier;
  std::uint32_t group = 0;  // 0..3
  std::string code;
  std::string rate;
  std::array<std::string, 4> extras;  // the U sheet's country, address, city, postal code
};

std::string personalCode(Random& random, bool female) {
  const std::uint32_t year = 40 + random.below(60);
  char date[32];
  std::snprintf(date, sizeof date, "%02u%02u%02u", year, 1 + random.below(12),
                1 + random.below(28));
  std::string code = std::string(female ? "4" : "3") + date + digits(random, 4);
  // The last digit is made the check digit, as real codes have it: a workbook of valid codes
  // times the reading, not the telling of a hundred thousand findings.
  for (char check = '0'; !kvd507::rows::personalCodeCheckDigitHolds(code); ++check) {
    code.back() = check;
  }
  return code;
}

std::string personName(Random& random, bool female) {
  std::string name(female ? random.pick(kFemaleFirst) : random.pick(kMaleFirst));
  name += ' ';
  name += female ? random.pick(kFemaleLast) : random.pick(kMaleLast);
  // Some payers type names in lower case, which the reader puts in capitals again.
  if (random.chance(5)) {
    for (char& c : name) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return name;
}

std::string companyName(Random& random) {
  std::string name(random.pick(kCompanyForms));
  name += " \"";
  name += random.pick(kCompanyNames);
  name += '"';
  if (random.chance(20)) name += " & Co";
  return name;
}

Recipient recipient(std::uint64_t number, bool foreign) {
  Random random(number * 7919 + (foreign ? 1 : 0));
  Recipient r;
  const bool company = random.chance(15);
  const bool female = random.chance(50);
  r.name = company ? companyName(random) : personName(random, female);
  if (company) {
    r.identifierColumn = 1;
    r.identifier = "30" + digits(random, 7);
  } else if (foreign && random.chance(70)) {
    r.identifierColumn = 3;
    r.identifier = std::string(random.pick(kCountries)) + digits(random, 10);
  } else if (random.chance(5)) {
    r.identifierColumn = 2;
    r.identifier = digits(random, 9);
  } else {
    r.identifierColumn = 0;
    r.identifier = personalCode(random, female);
  }
  const std::uint32_t roll = random.below(100);
  r.group = roll < 70 ? 0 : roll < 85 ? 1 : roll < 95 ? 2 : 3;
  r.code = random.pick(kCodes);
  r.rate = random.pick(kRates);
  r.extras = {std::string(random.pick(kCountries)),
              std::string(random.pick(kStreets)) + ' ' + std::to_string(1 + random.below(120)),
              std::string(random.pick(kCities)), digits(random, 5)};
  return r;
}

// Where the columns stand on one sheet (0-based, as libxlsxwriter counts).
struct Columns {
  const char* sheetName;
  lxw_col_t firstExtra;
  lxw_col_t extraCount;
  lxw_col_t firstIdentifier;
  lxw_col_t identifierCount;
  lxw_col_t firstGroup;

  lxw_col_t rate() const { return static_cast<lxw_col_t>(firstGroup + 8); }
  lxw_col_t tax() const { return static_cast<lxw_col_t>(firstGroup + 9); }
};

constexpr Columns kL{"KVD507 L", 2, 0, 2, 5, 7};
constexpr Columns kU{"KVD507 U", 2, 4, 6, 6, 12};

class SheetWriter {
 public:
  SheetWriter(lxw_workbook* book, const Columns& columns, lxw_format* bold, lxw_format* money)
      : columns_(columns), bold_(bold), money_(money) {
    sheet_ = workbook_add_worksheet(book, columns.sheetName);
    if (sheet_ == nullptr) throw std::runtime_error("cannot add worksheet");
  }

  void header() {
    write(0, 0, std::string(columns_.sheetName) + " priedas — išmokos ir išskaičiuotas mokestis",
          bold_);
    write(3, 1, "Gavėjo vardas, pavardė / pavadinimas", bold_);
    for (lxw_col_t column = 0; column <= columns_.tax(); ++column) {
      worksheet_write_number(sheet_, 4, column, column + 1, bold_);
    }
    worksheet_set_column(sheet_, 1, 1, 36, nullptr);
  }

  void payment(lxw_row_t row, std::uint32_t ordinal, const Recipient& r, Random& random) {
    worksheet_write_number(sheet_, row, 0, ordinal, nullptr);
    write(row, 1, r.name, nullptr);
    for (lxw_col_t i = 0; i < columns_.extraCount; ++i) {
      write(row, static_cast<lxw_col_t>(columns_.firstExtra + i), r.extras[i], nullptr);
    }
    write(row, static_cast<lxw_col_t>(columns_.firstIdentifier + r.identifierColumn), r.identifier,
          nullptr);
    const double amount = static_cast<double>(1000 + random.below(500'000)) / 100.0;
    // Every amount counts, and every code is valid: the bench times the reading and merging,
    // not the telling of findings.
    putGroup(row, r.group, amount, r.code, random);
    write(row, columns_.rate(), r.rate, nullptr);
    const double tax = std::round(amount * std::stod(r.rate)) / 100.0;
    worksheet_write_number(sheet_, row, columns_.tax(), tax, money_);
  }

 private:
  void putGroup(lxw_row_t row, std::uint32_t group, double amount, const std::string& code,
                Random& random) {
    const auto column = static_cast<lxw_col_t>(columns_.firstGroup + 2 * group);
    worksheet_write_number(sheet_, row, column, amount, money_);
    // A plain number typed into a code cell arrives as a number, not as text.
    const bool numeric =
        code.find_first_not_of("0123456789") == std::string::npos && code.front() != '0';
    if (numeric && random.chance(50)) {
      worksheet_write_number(sheet_, row, static_cast<lxw_col_t>(column + 1), std::stod(code),
                             nullptr);
    } else {
      write(row, static_cast<lxw_col_t>(column + 1), code, nullptr);
    }
  }

  void write(lxw_row_t row, lxw_col_t column, const std::string& text, lxw_format* format) {
    worksheet_write_string(sheet_, row, column, text.c_str(), format);
  }

  const Columns& columns_;
  lxw_format* bold_;
  lxw_format* money_;
  lxw_worksheet* sheet_ = nullptr;
};

void writeSheet(lxw_workbook* book, const Columns& columns, std::uint32_t rows, bool foreign,
                lxw_format* bold, lxw_format* money) {
  SheetWriter sheet(book, columns, bold, money);
  sheet.header();
  Random random(foreign ? 2 : 1);
  // Drawing recipients from a pool smaller than the row count repeats about four in ten of them.
  const std::uint32_t pool = rows - rows / 5 + 1;
  for (std::uint32_t i = 0; i < rows; ++i) {
    const Recipient r = recipient(random.below(pool), foreign);
    sheet.payment(static_cast<lxw_row_t>(kFirstDataRow - 1 + i), i + 1, r, random);
  }
}

}  // namespace

void writeBenchWorkbook(const std::filesystem::path& file, std::uint32_t lRows,
                        std::uint32_t uRows) {
  // Rows go to disk as they are written, so even a million rows need little memory.
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* book = workbook_new_opt(file.c_str(), &options);
  if (book == nullptr) throw std::runtime_error("cannot create " + file.string());
  lxw_format* bold = workbook_add_format(book);
  format_set_bold(bold);
  lxw_format* money = workbook_add_format(book);
  format_set_num_format(money, "0.00");
  try {
    writeSheet(book, kL, lRows, false, bold, money);
    writeSheet(book, kU, uRows, true, bold, money);
  } catch (...) {
    workbook_close(book);
    throw;
  }
  const lxw_error result = workbook_close(book);
  if (result != LXW_NO_ERROR) {
    throw std::runtime_error("cannot write " + file.string() + ": " + lxw_strerror(result));
  }
}

}  // namespace kvd507::bench
