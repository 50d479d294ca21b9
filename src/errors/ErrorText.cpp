#include "errors/Error.h"

namespace kvd507 {
namespace {

// The one place where a failure's kind becomes words. Each text says why, so that it can
// follow a headline that says what failed ("Nepavyko įrašyti formos ...: ").
const char* reason(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kFileMissing:
      return "tokio failo ar aplanko nėra";
    case ErrorKind::kFolderNotWritable:
      return "negalima rašyti į aplanką, kuriame jis turi būti (trūksta teisių); pasirinkite "
             "kitą aplanką";
    case ErrorKind::kNoPermission:
      return "trūksta teisių šiam failui ar aplankui";
    case ErrorKind::kReadOnlyFileSystem:
      return "diske galima tik skaityti, rašyti negalima";
    case ErrorKind::kDiskFull:
      return "diske nebeliko vietos";
    case ErrorKind::kNotRegularFile:
      return "tai ne paprastas failas, o aplankas, kanalas ar įrenginys";
    case ErrorKind::kNotAFolder:
      return "kelyje vietoj aplanko yra failas";
    case ErrorKind::kFileTooLarge:
      return "failas per didelis";
    case ErrorKind::kFileSystem:
      return "sistema pranešė apie klaidą dirbant su failu";
    case ErrorKind::kReadOnlyFile:
      return "failas apsaugotas nuo rašymo (tik skaitymui), todėl jis nepakeistas; nuimkite "
             "apsaugą arba išsaugokite formą kitu vardu";
    case ErrorKind::kFileExists:
      return "toks failas jau yra, jis nepakeistas";
    case ErrorKind::kOutputIsInput:
      return "tai tas pats failas, kurį ši komanda skaito, todėl jis nepakeistas; įrašykite "
             "kitu vardu";
    case ErrorKind::kTooManyOpenFiles:
      return "per daug atidarytų failų; uždarykite nereikalingas programas ir bandykite dar kartą";
    case ErrorKind::kNotAWorkbook:
      return "tai ne darbaknygė (nei .xlsx, nei .xls, nei .ods)";
    case ErrorKind::kWorkbookDamaged:
      return "darbaknygės failas sugadintas, jo sandara netvarkinga";
    case ErrorKind::kWorkbookPartMissing:
      return "darbaknygės failas sugadintas, jame trūksta dalies";
    case ErrorKind::kWorkbookDocumentType:
      return "darbaknygėje yra dokumento tipo aprašas (DOCTYPE), kokio tikrose darbaknygėse "
             "nebūna";
    case ErrorKind::kWorkbookExpands:
      return "išskleista darbaknygė būtų per didelė";
    case ErrorKind::kWorkbookEncrypted:
      return "darbaknygė apsaugota slaptažodžiu; išsaugokite ją be slaptažodžio";
    case ErrorKind::kWorkbookFormatTooOld:
      return "toks Excel formatas neskaitomas; išsaugokite darbaknygę kaip .xls (Excel 97–2003) "
             "arba .xlsx";
    case ErrorKind::kWorkbookTooLarge:
      return "darbaknygė per didelė";
    case ErrorKind::kCellTooLong:
      return "langelyje per daug teksto";
    case ErrorKind::kTooManyRows:
      return "eilučių daugiau nei 1 048 576";
    case ErrorKind::kTooManyColumns:
      return "stulpelių daugiau nei 16 384 (XFD)";
    case ErrorKind::kSheetTooMuchText:
      return "lapo langeliuose iš viso per daug teksto";
    case ErrorKind::kNoSuchSheet:
      return "darbaknygėje tokio lapo nėra";
    case ErrorKind::kCellErrorValue:
      return "langelyje yra klaidos reikšmė";
    case ErrorKind::kCellWithoutText:
      return "langelio reikšmė neturi teksto (pvz., formulė be apskaičiuotos reikšmės)";
    case ErrorKind::kTooMuchText:
      return "eilutėse iš viso per daug teksto, tiek deklaracijoje būti negali";
    case ErrorKind::kNotUtf8:
      return "failas ne UTF-8 koduotės tekstas";
    case ErrorKind::kEmptyFile:
      return "failas tuščias";
    case ErrorKind::kNotADeclaration:
      return "tai ne formos failas: jame nėra žymės <FFData>";
    case ErrorKind::kDeclarationCutShort:
      return "forma nepilna, failas nukirptas arba neišsaugotas iki galo";
    case ErrorKind::kSeveralFieldsOnLine:
      return "joje yra keli laukai <Field>; tokia forma būtų perskaityta ne visa ir dalis "
             "jos įrašų prarasta (kiekvienas laukas turi būti atskiroje eilutėje)";
    case ErrorKind::kFieldTagSplit:
      return "joje lauko žymė <Field ...> perskirta į kelias eilutes; toks laukas būtų "
             "perskaitytas "
             "tuščias ir jo reikšmė prarasta (kiekviena žymė turi būti vienoje eilutėje)";
    case ErrorKind::kRowNotInTemplate:
      return "šios formos eilutės darbaknygės šablonas neišlaiko";
    case ErrorKind::kFieldTagMisspelt:
      return "joje lauko žymė parašyta ne taip, kaip ją rašo forma (<Field Name=\"...\">); "
             "toks laukas būtų praleistas ir jo reikšmė prarasta";
    case ErrorKind::kFieldRepeated:
      return "joje esantis laukas jau buvo šiame formos puslapyje; kartojamas laukas "
             "padvigubintų ar sumaišytų įrašus";
    case ErrorKind::kTextAfterDeclaration:
      return "po formos pabaigos (žymės </FFData>) faile yra daugiau teksto, gal dar viena forma; "
             "palikite faile vieną formą";
    case ErrorKind::kTooManyDeclarationRows:
      return "formos priede eilučių daugiau nei 1 048 576, tiek lape būti negali";
    case ErrorKind::kTextEncoding:
      return "teksto nepavyko perkoduoti";
    case ErrorKind::kNoCollation:
      return "nėra šios kalbos abėcėlės rikiavimo taisyklių";
    case ErrorKind::kReadOnlyProgramFile:
      return "failas apsaugotas nuo rašymo (tik skaitymui), todėl jis nepakeistas; nuimkite "
             "apsaugą, kad pakeitimai būtų įrašyti";
    case ErrorKind::kPayerListFull:
      return "sąrašas būtų didesnis nei 1 MiB, tokio programa nebeperskaitytų, todėl jis "
             "nepakeistas; pašalinkite nereikalingus mokėtojus";
    case ErrorKind::kNotInListEncoding:
      return "mokėtojų sąrašo koduotėje (Windows-1257) tokių ženklų nėra";
    case ErrorKind::kSettingsNotText:
      return "failas ne tekstas (jame yra nulinių baitų, bet nėra UTF-16 žymės), todėl jis "
             "neskaitomas ir nekeičiamas";
    case ErrorKind::kOutOfMemory:
      return "kompiuteriui nepakako atminties";
    case ErrorKind::kInternal:
      return "netikėta programos klaida";
  }
  return "nežinoma klaida";
}

}  // namespace

std::string reasonText(ErrorKind kind, std::uint64_t limit) {
  std::string text = reason(kind);
  if (limit != 0) text += " (daugiau nei " + sizeText(limit) + ")";
  return text;
}

}  // namespace kvd507
