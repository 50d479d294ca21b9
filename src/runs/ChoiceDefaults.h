#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "declaration/DeclarationHeader.h"
#include "payers/StoredPayer.h"

// What each of the window's choices holds until the user makes it, the window's caption and the
// years it offers. Markers are compared exactly and some are written into the declaration as
// they stand, so each is spelled here once. The header markers live with DeclarationHeader.
namespace kvd507::runs {

inline constexpr std::string_view kNoWorkbookPath = "lb_dok_link";
inline constexpr std::string_view kNoWorkbookName = "Darbaknygė nepasirinkta";
inline constexpr std::string_view kNoExistingDeclaration = "ff_dok_link";
inline constexpr std::string_view kNoPayerCode = payers::kNoPayerCode;

// The window's caption keeps the year of the form's layout, whatever year is chosen.
inline constexpr std::string_view kWindowCaption = "KVD507-2022";

// The first year the year selector offers.
inline constexpr int kFirstYear = 2020;

// The calendar year now, in local time, by the clock in place (text::today).
int currentCalendarYear();

// The year selector's entries: kFirstYear up to `currentYear`, oldest first.
std::vector<std::string> yearChoices(int currentYear);

// The year selected at start, and the command line's default: a declaration is made for the year
// that has ended, the one before `currentYear`.
std::string defaultYear(int currentYear);

}  // namespace kvd507::runs
