#pragma once

#include <string>
#include <string_view>

// The headlines of the messages a user reads when something fails: what the program could not
// do, and to which file. The reason (ErrorText.cpp) follows after ": ". Written here once, so
// that the window and the command line say the same thing in the same words.
namespace kvd507::headline {

// "Nepavyko perskaityti formos NAME"
std::string cannotReadDeclaration(std::string_view name);
// "Nepavyko įrašyti formos NAME"
std::string cannotWriteDeclaration(std::string_view name);
// "Nepavyko įrašyti darbaknygės NAME"
std::string cannotWriteWorkbook(std::string_view name);
// "Nepavyko perskaityti failo NAME"
std::string cannotReadFile(std::string_view name);
// "Nepavyko įrašyti failo NAME"
std::string cannotWriteFile(std::string_view name);
// "Blogai užpildytas failas NAME": a workbook read whole whose content is wrong.
std::string badlyFilledFile(std::string_view name);
// "Nepavyko atverti NAME"
std::string cannotOpen(std::string_view name);
// "Formos NAME į darbaknygę perkelti negalima"
std::string cannotMoveToWorkbook(std::string_view name);

inline constexpr std::string_view kCannotWritePdf = "Nepavyko įrašyti PDF";
inline constexpr std::string_view kCannotPrint = "Nepavyko spausdinti formos";
inline constexpr std::string_view kCannotPrepareProgramFolder =
    "Nepavyko paruošti programos aplanko";
inline constexpr std::string_view kCannotReadChosenPayer =
    "Nepavyko perskaityti pasirinkto mokėtojo";
inline constexpr std::string_view kCannotMakeDeclaration = "Nepavyko suformuoti formos";

}  // namespace kvd507::headline
