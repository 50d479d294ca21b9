#include "cli/ManPage.h"

#include <algorithm>
#include <string_view>

#include "cli/CommandLine.h"

namespace kvd507::cli {
namespace {

// Text as roff reads it: backslashes and hyphens written out, and no line taken for a request.
std::string roff(std::string_view text) {
  std::string result;
  bool lineStart = true;
  for (const char c : text) {
    if (lineStart && (c == '.' || c == '\'')) result += "\\&";
    if (c == '\\') {
      result += "\\e";
    } else if (c == '-') {
      result += "\\-";
    } else {
      result += c;
    }
    lineStart = c == '\n';
  }
  return result;
}

// A default such as "praėję metai (dabar 2025)" says what holds at the moment of asking; the
// page is printed once and read for years.
std::string withoutNow(const std::string& text) {
  const std::size_t now = text.find(" (dabar ");
  if (now == std::string::npos || text.back() != ')') return text;
  return text.substr(0, now);
}

// "  0  forma įrašyta" lines as a tagged list.
std::string exitStatuses(std::string_view lines) {
  std::string page;
  while (!lines.empty()) {
    const std::size_t end = std::min(lines.find('\n'), lines.size());
    std::string_view line = lines.substr(0, end);
    lines.remove_prefix(std::min(end + 1, lines.size()));
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    const std::size_t gap = line.find("  ");
    if (gap == std::string_view::npos) {
      if (!line.empty()) page += roff(line) + "\n";
      continue;
    }
    std::string_view text = line.substr(gap);
    text.remove_prefix(text.find_first_not_of(' '));
    page += ".TP 4\n.B " + roff(line.substr(0, gap)) + "\n" + roff(text) + "\n";
  }
  return page;
}

std::string commandSection(const CommandSpec& spec) {
  std::string page = ".SS \"" + roff(usageLine(spec)) + "\"\n" + roff(spec.summary) + "\n";
  for (const OptionSpec& option : spec.options) {
    page += ".TP\n";
    page += option.valueName.empty()
                ? ".B " + roff(option.name)
                : ".BI " + roff(option.name) + " \" " + roff(option.valueName) + "\"";
    page += "\n" + roff(option.description) + "\n";
    if (!option.byDefault.empty()) {
      page += ".br\nNumatyta: " + roff(withoutNow(option.byDefault)) + "\n";
    }
  }
  page += ".TP\n.B \"\\-h, \\-\\-help\"\nparodo komandos aprašymą ir baigia darbą\n";
  if (!spec.exitStatuses.empty()) {
    page += ".PP\nBaigties kodai:\n.RS\n" + exitStatuses(spec.exitStatuses) + ".RE\n";
  }
  return page;
}

}  // namespace

std::string manPage() {
  std::string page =
      ".\\\" -*- coding: UTF-8 -*-\n"
      ".TH KVD507 1 \"\" \"" +
      roff(versionText()) +
      "\" \"Naudotojo komandos\"\n"
      ".SH PAVADINIMAS\n"
      "kvd507 \\- KVD507 formos (KVD507.ffdata) rengimas iš užpildyto skaičiuoklės šablono\n"
      ".SH SINTAKSĖ\n"
      ".B kvd507\n"
      "[\\fB\\-\\-folder\\fR \\fIAPLANKAS\\fR]\n"
      ".br\n"
      ".B kvd507\n"
      "\\fIFORMA\\fR.ffdata\n"
      ".br\n"
      ".B kvd507\n"
      "\\fIKOMANDA\\fR [\\fIargumentai\\fR]\n"
      ".br\n"
      ".B kvd507 \\-\\-help\n"
      ".br\n"
      ".B kvd507 \\-\\-version\n"
      ".SH APRAŠYMAS\n"
      "Išmokų mokėtojas surašo išmokas į šabloną KVD507.xlsx (arba KVD507.xls, KVD507.ods), "
      "lapus \\(lqKVD507 L\\(rq ir \\(lqKVD507 U\\(rq, po vieną išmoką eilutėje nuo 6 eilutės. "
      "\\fBkvd507\\fR iš tokios darbaknygės parengia KVD507 formą FFData formatu "
      "(KVD507.ffdata), kurią toliau pildo ir pateikia formų pildymo programa.\n"
      ".PP\n"
      "Be komandos atveriamas programos langas: jame pasirenkamas išmokų mokėtojas, mokestinis "
      "laikotarpis ir užpildyta darbaknygė. Komandos tą patį daro be lango.\n"
      ".SH KOMANDOS\n";
  for (const Command& command : commands()) page += commandSection(command.spec);
  page +=
      ".SH PROGRAMOS APLANKAS\n"
      "Programos aplanke yra mokėtojų sąrašas, nustatymai, šablonai ir parengtos formos. Jį "
      "nurodo parinktis \\fB\\-\\-folder\\fR. Be jos įdiegtos programos (vykdomasis failas "
      "aplanke \\fIbin\\fR, šalia \\fI../share/kvd507/sablonas\\fR) aplankas yra "
      "\\fI$XDG_DATA_HOME/kvd507\\fR (be XDG_DATA_HOME \\fI~/.local/share/kvd507\\fR): jis "
      "sukuriamas pirmą kartą paleidus, o šablonai nukopijuojami į jo aplanką "
      "\\fIsablonas\\fR, kad juos būtų galima užpildyti ir išsaugoti. Į įdiegtos programos "
      "aplankus niekas nerašoma. Kitaip (programa paleista iš aplanko, į kurį ji sukompiliuota "
      "ar nukopijuota) programos aplankas yra tas, kuriame yra vykdomasis failas. Kurį aplanką "
      "programa naudoja, parašo \\fBkvd507 \\-\\-help\\fR ir programos lango apačia.\n"
      ".SH FAILAI\n"
      ".TP\n"
      ".I APLANKAS/asmenys.txt\n"
      "išmokų mokėtojų sąrašas: pavadinimas ir kodas, atskirti \\(lq;\\(rq\n"
      ".TP\n"
      ".I APLANKAS/_nustatymai.ini\n"
      "paskutinis pasirinktas mokėtojas\n"
      ".TP\n"
      ".I APLANKAS/formos/KVD507.ffdata\n"
      "parengta forma; kiekvienas rašantis paleidimas ją pakeičia\n"
      ".TP\n"
      ".I APLANKAS/sablonas/\n"
      "šablonai KVD507.xlsx, KVD507.xls ir KVD507.ods\n"
      ".TP\n"
      ".I /usr/share/kvd507/sablonas/\n"
      "įdiegti šablonai, iš kurių kopijuojama\n"
      ".SH APLINKA\n"
      ".TP\n"
      ".B XDG_DATA_HOME\n"
      "įdiegtos programos aplanko vieta (žr. PROGRAMOS APLANKAS)\n"
      ".TP\n"
      ".B HOME\n"
      "naudotojo aplankas, kai XDG_DATA_HOME nenurodytas\n"
      ".TP\n"
      ".B LC_ALL, LC_NUMERIC, LANG\n"
      "dešimtainis skyriklis sumose: \\(lq,\\(rq lt_LT, \\(lq.\\(rq C lokalei\n"
      ".SH \"ŽR. TAIP PAT\"\n"
      ".BR xdg\\-open (1)\n";
  return page;
}

}  // namespace kvd507::cli
