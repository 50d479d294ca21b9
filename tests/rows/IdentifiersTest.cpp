#include <gtest/gtest.h>

#include "rows/Identifiers.h"

namespace kvd507::rows {
namespace {

TEST(Identifiers, PersonalCodes) {
  struct Case {
    const char* code;
    const char* fault;  // nullptr when the code holds
  };
  const Case cases[] = {
      {"38001010009", nullptr},
      {"60101010006", nullptr},  // born 2001
      {"10001010002", nullptr},  // born 1800
      {"38001010000", "neteisingas kontrolinis skaitmuo"},
      {"3800101000", "turi būti 11 skaitmenų"},
      {"380010100090", "turi būti 11 skaitmenų"},
      {"3800101000a", "turi būti 11 skaitmenų"},
      {"78001010001", "pirmasis skaitmuo turi būti nuo 1 iki 6"},
      {"08001010001", "pirmasis skaitmuo turi būti nuo 1 iki 6"},
      {"38002300004", "2–7 skaitmenys nėra tikra gimimo data"},  // 30 February
      {"38013010001", "2–7 skaitmenys nėra tikra gimimo data"},
      {"30002290008", "2–7 skaitmenys nėra tikra gimimo data"},  // 1900 was no leap year
      {"50002290002", nullptr},                                  // 2000 was
      // Not born yet: today is 2026-12-11.
      {"62612110000", nullptr},
      {"62612120007", "2–7 skaitmenys: gimimo data 2026-12-12 dar neatėjo"},
      {"59901010007", "2–7 skaitmenys: gimimo data 2099-01-01 dar neatėjo"},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> fault = personalCodeFault(c.code, {2026, 12, 11});
    EXPECT_EQ(fault.value_or("(none)"), c.fault != nullptr ? c.fault : "(none)") << c.code;
  }
}

TEST(Identifiers, CompanyCodes) {
  EXPECT_FALSE(companyCodeFault("302345678"));
  for (const char* code : {"30234567", "3023456789", "30234567x", "LT302345678", ""}) {
    EXPECT_EQ(companyCodeFault(code).value_or(""), "turi būti 9 skaitmenys") << code;
  }
}

TEST(Identifiers, BirthDates) {
  const CalendarDate today{2026, 12, 11};
  struct Case {
    const char* text;
    const char* fault;
  };
  const Case cases[] = {
      {"1990-05-17", nullptr},
      {"1990.05.17", nullptr},
      {"1990/05/17", nullptr},
      {"1990-05-17 12:00:00", nullptr},  // a date cell with a time of day
      {"1900-01-01", nullptr},
      {"2026-12-11", nullptr},
      {"2026-12-12", "data 2026-12-12 dar neatėjo"},
      {"1899-12-31", "data 1899-12-31 ankstesnė nei 1900 metai"},
      {"1985-02-30", "nėra data (rašoma MMMM-MM-DD)"},
      {"1985-13-01", "nėra data (rašoma MMMM-MM-DD)"},
      {"1985-5-17", "nėra data (rašoma MMMM-MM-DD)"},
      {"1990-05.17", "nėra data (rašoma MMMM-MM-DD)"},
      {"17.05.1990", "nėra data (rašoma MMMM-MM-DD)"},
      {"32104", "nėra data (rašoma MMMM-MM-DD)"},  // a date serial shown as a number
  };
  for (const Case& c : cases) {
    const std::optional<std::string> fault = birthDateFault(c.text, today);
    EXPECT_EQ(fault.value_or("(none)"), c.fault != nullptr ? c.fault : "(none)") << c.text;
  }
}

TEST(Identifiers, TodayIsARealDate) {
  const CalendarDate now = text::today();
  EXPECT_TRUE(isRealDate(now));
  EXPECT_GE(now.year, 2024);
}

}  // namespace
}  // namespace kvd507::rows
