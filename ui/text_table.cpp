// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_table.h"

namespace rq {
namespace {

// One row per entry: English, German, French, Czech. Trailing blanks are part of the texts;
// entry 35 is padded to 40 characters in every language so the advance label keeps its width.
constexpr const char* kTable[kTextCount][kLanguageCount] = {
    /*  0 TxtManualFile */ {"Kelvora_manual_en.pdf", "Kelvora_manual_en.pdf",
         "Kelvora_manual_en.pdf", "Kelvora_manual_en.pdf"},
    /*  1 TxtProgramError */ {"Program error!", "Programmier Fehler",
         "Erreur de programmation!", "Chyba programování"},
    /*  2 TxtVerifyError */ {"Verify error!", "Vergleichsfehler",
         "Verifier erreur!", "Chyba verifikace!"},
    /*  3 TxtReadError */ {"Read error!", "Lesefehler",
         "Lire erreur!", "Chyba čtení!"},
    /*  4 TxtProgramDevice */ {"Program device:", "Programmieren:",
         "Programmer:", "Programování:"},
    /*  5 TxtVerifying */ {"Verify:", "Vergleichen:",
         "Vérifier", "Verifikace:"},
    /*  6 TxtReading */ {"Read:", "Lesen:",
         "Lire", "Čtení:"},
    /*  7 TxtSaving */ {"Saving:", "Speichern:",
         "Mémorisation", "Ukládání:"},
    /*  8 TxtVersionMismatch */ {"Unmatched version of PC and Ignition programs!", "Programm der Zündung ist nicht kompatibel mit dem Programm am PC!",
         "Programme du boitier d´alumage non compatible avec programme PC!", "Neshodné verze proramu v PC a zapalování!"},
    /*  9 TxtProgramCount */ {"Number of Programing= ", "Programmierungsanzahl= ",
         "Nombre de programmations= ", "Počet programování= "},
    /* 10 TxtMotorOff */ {"Motor off", "Motor off",
         "Blocage", "Blokování"},
    /* 11 TxtStartLimiterActive */ {"Start limiter aktivated", "Startbegrenzer ist tätig",
         "Limiteur de départ activé", "Startovací omezovač aktivován"},
    /* 12 TxtStartSoftLimiter */ {"Start soft limiter", "Startsoftbegrenzer",
         "Limitateur départ mou", "Startovací měkký omezovač"},
    /* 13 TxtStartLimiter */ {"Start limiter", "Startbegrenzer",
         "Limitateur départ", "Startovací omezovač"},
    /* 14 TxtSoftLimiter */ {"Soft limiter", "Soft begrenzer",
         "Limitateur mou", "Měkký omezovač"},
    /* 15 TxtLimiter */ {"Limiter", "Begrenzer",
         "Limitateur", "Omezovač"},
    /* 16 TxtYes */ {"YES", "JA",
         "Oui", "ANO"},
    /* 17 TxtNo */ {"NO", "NEIN",
         "Non", "NE"},
    /* 18 TxtAdvance */ {"Advance", "Vorzündung",
         "Avance", "Předstih"},
    /* 19 TxtAdvance1 */ {"Advance 1", "Vorzündung 1",
         "Avance 1", "Předstih 1"},
    /* 20 TxtAdvance2 */ {"Advance 2", "Vorzündung 2",
         "Avance 2", "Předstih 2"},
    /* 21 TxtMaxAdvance1 */ {"Max. advance 1", "Max. Vorzündung 1",
         "Max. Avance 1", "Max. předstih 1"},
    /* 22 TxtMaxAdvance2 */ {"Max. advance 2", "Max. Vorzündung 2",
         "Max. Avance 2", "Max. předstih 2"},
    /* 23 */ {"", "", "", ""},
    /* 24 */ {"", "", "", ""},
    /* 25 */ {"", "", "", ""},
    /* 26 */ {"", "", "", ""},
    /* 27 TxtComOpenError */ {"Com opening error!", "Falscher COM-Anschlußes!",
         "Erreur connections PC!", "Chyba při otevírání portu Com!"},
    /* 28 TxtOpenFileError */ {"Open file error!", "Fehler beim öffnen der Datei!",
         "Erreur ouvertur fichier!", "Chyba při otevírání souboru!"},
    /* 29 TxtAskDefaults */ {"Do you want default setting?", "Wollen Sie Standardeinstellungen öffnen?",
         "Voulez vous la programation de base?", "Chcete nastavit základní hodnoty?"},
    /* 30 */ {"", "", "", ""},
    /* 31 TxtFileVersionMismatch */ {"Unmatched version of *.ign file!", "Datendatei *.ign ist nicht kompatiebel!",
         "Programme du fichier non compatible avec programme PC!", "Neshodná verze souboru *.ign!"},
    /* 32 */ {"", "", "", ""},
    /* 33 TxtPrintDateTime */ {"Date and time of printing:  ", "Zeitpunkt des Ausdruckes   ",
         "Date et heur de l´imprimé:   ", "Datum a čas tisku:  "},
    /* 34 TxtManualOpenError */ {"Error by opening file Kelvora_manual_en.pdf !", "Fehler beim öffnen der Datei Kelvora_manual_en.pdf !",
         "Erreur à l´ouvertur du Fichier Kelvora_manual_en.pdf !", "Chyba při otevírání souboru Kelvora_manual_en.pdf !"},
    /* 35 TxtPickupError */ {"Pick up system error                    ", "Gebersystemehler                        ",
         "Pick up system error                    ", "Chyba v snímacím systému                "},
    /* 36 TxtPickup1 */ {"Pick-up (CKPS) 1", "Geber(CKPS) 1",
         "Capteur(CKPS) 1", "Snímač (klika) 1"},
    /* 37 TxtPickup2 */ {"Pick-up (CKPS) 2", "Geber(CKPS) 2",
         "Capteur(CKPS) 2", "Snímač (klika) 2"},
    /* 38 TxtRunning */ {"is running", "läuft",
         " fonctionne", "pracuje"},
    /* 39 TxtNoSignal */ {"no signal", " kein Signal",
         " pas de signal", "bez signálu"},
    /* 40 TxtServoMeasured */ {"Servo measured=", "Servo Gemessene=",
         "Servo measured=", "Servo měřené="},
    /* 41 TxtServoDesired */ {"Servo desired=", "Servo Sollspanung=",
         "Servo desired=", "Servo požadované="},
    /* 42 */ {"", "", "", ""},
    /* 43 TxtClutchMaster */ {"Clutch master", "Schaltautomat",
         "Clutch master", "Clutch master"},
    /* 44 */ {"", "", "", ""},
    /* 45 TxtInput1 */ {"Input 1", "Eingang 1",
         "Entrée 1", "Vstup 1"},
    /* 46 TxtInput2 */ {"Input 2", "Eingang 2",
         "Entrée 2", "Vstup 2"},
    /* 47 TxtInput3 */ {"Input 3", "Eingang 3",
         "Entrée 3", "Vstup 3"},
    /* 48 TxtRetard */ {"Retard", "Spätzündung",
         "Retard d´allumage", "Snížení předstihu"},
    /* 49 */ {"", "", "", ""},
    /* 50 TxtAdvanceChart2 */ {"2nd advance chart ", "2.Vorzündung mappe",
         "2nd advance chart ", "2. mapa předstihu"},
    /* 51 */ {"", "", "", ""},
    /* 52 */ {"", "", "", ""},
    /* 53 TxtFuelPump */ {"Fuel pump", "Kraftstoffpumpe",
         "Fuel pump", "Palivová pumpa"},
    /* 54 TxtGearShiftLight */ {"Gear shift light", "Schaltblitz",
         "Voyant de passage de rapport", "Kontrolka řazení"},
    /* 55 TxtPowerJet */ {"Power jet", "Power jet",
         "Power jet", "Power jet"},
    /* 56 TxtSpecialOut */ {"Special out", "Sonderausgang",
         "Special out", "Specielní výstup"},
    /* 57 TxtAcceleration */ {"Acceleration", "Beschleunigung",
         "Accélération", "Zrychlení"},
    /* 58 TxtServoEnable */ {"Servo enable", "Servo zulassen",
         "Servo Axessible", "Servo povoleno"},
    /* 59 TxtBaseAdvance */ {"Base advance", "Basis Vorzündung",
         "Avance de base [°]", "Základní předstih"},
    /* 60 TxtHysteresis */ {"Hysteresis [mV]", "Hysteresis [mV]",
         "Hysteresis [mV]", "Hystereze [mV]"},
    /* 61 TxtPotentiometer */ {"Potentiometer", "Potentiometer",
         "Potentiometer", "Potenciometr"},
    /* 62 */ {"", "", "", ""},
    /* 63 TxtAccelThreshold */ {"Acceleration threshold", "Beschleunigungsschwelle",
         "Acceleration threshold", "Akcelerační práh"},
    /* 64 TxtGear */ {"Gear", "Gang",
         "Gear", "Rychlost. stupeň"},
    /* 65 TxtSpeed */ {"Speed", "Geschwindigkeit",
         "Vitesse", "Rychlost"},
    /* 66 TxtGearVoltage */ {"Gear voltage", "GPS Spannung",
         "Gear voltage", "GPS napětí"},
};

// One row per UiText, in its order: English, German, French, Czech.
constexpr const char* kUiTable[static_cast<int>(UiText::Count)][kLanguageCount] = {
    /* AskReplace */ {"%1 already exists.\nDo you want to replace it?",
         "%1 existiert bereits.\nWollen Sie die Datei ersetzen?",
         "%1 existe déjà.\nVoulez-vous le remplacer?",
         "%1 již existuje.\nChcete jej nahradit?"},
    /* NothingPrinted */ {"Nothing was printed.", "Es wurde nichts gedruckt.",
         "Rien n´a été imprimé.", "Nic nebylo vytištěno."},
    /* PrintingStopped */ {"Printing stopped: %1 of %2 pages were printed.",
         "Drucken abgebrochen: %1 von %2 Seiten wurden gedruckt.",
         "Impression interrompue: %1 pages sur %2 imprimées.",
         "Tisk přerušen: vytištěno %1 z %2 stran."},
    /* NoPrinter */ {"No printer is installed. To print into PDF files instead, set %1 to a folder.",
         "Kein Drucker installiert. Um stattdessen in PDF-Dateien zu drucken, setzen Sie %1 auf einen Ordner.",
         "Aucune imprimante installée. Pour imprimer dans des fichiers PDF, donnez à %1 un dossier.",
         "Není nainstalována žádná tiskárna. Pro tisk do souborů PDF nastavte %1 na složku."},
    /* PrinterRefused */ {"The printer %1 did not take the job.",
         "Der Drucker %1 hat den Auftrag nicht angenommen.",
         "L´imprimante %1 n´a pas accepté le travail.",
         "Tiskárna %1 úlohu nepřijala."},
    /* PdfNotStarted */ {"The PDF could not be started.", "Die PDF-Datei konnte nicht begonnen werden.",
         "Le PDF n´a pas pu être commencé.", "Soubor PDF nelze začít."},
    /* NothingToPrint */ {"Nothing to print.", "Nichts zu drucken.",
         "Rien à imprimer.", "Není co tisknout."},
    /* NoFreeFileName */ {"%1: no free file name", "%1: kein freier Dateiname",
         "%1: aucun nom de fichier libre", "%1: žádný volný název souboru"},
    /* CannotOpen */ {"cannot open %1", "%1 kann nicht geöffnet werden",
         "impossible d´ouvrir %1", "nelze otevřít %1"},
    /* CannotRead */ {"cannot read %1", "%1 kann nicht gelesen werden",
         "impossible de lire %1", "nelze číst %1"},
    /* CannotWrite */ {"cannot write %1", "%1 kann nicht geschrieben werden",
         "impossible d´écrire %1", "nelze zapsat %1"},
    /* FileTooLarge */ {"file too large: %1", "Datei zu groß: %1",
         "fichier trop grand: %1", "soubor je příliš velký: %1"},
    /* SetCellsTitle */ {"Set cells", "Zellen setzen", "Fixer les cases", "Nastavit buňky"},
    /* SetCellsLabel */ {"Value for the selected cells:", "Wert für die gewählten Zellen:",
         "Valeur des cases choisies:", "Hodnota vybraných buněk:"},
    /* AddCellsTitle */ {"Add to cells", "Zu Zellen addieren", "Ajouter aux cases",
         "Přičíst k buňkám"},
    /* AddCellsLabel */ {"Add to the selected cells (negative lowers):",
         "Zu den gewählten Zellen addieren (negativ senkt):",
         "Ajouter aux cases choisies (négatif baisse):",
         "Přičíst k vybraným buňkám (záporné snižuje):"},
    /* ScaleCellsTitle */ {"Scale cells", "Zellen skalieren", "Échelle des cases",
         "Násobit buňky"},
    /* ScaleCellsLabel */ {"Percent of the present values (110 = 10 % more):",
         "Prozent der jetzigen Werte (110 = 10 % mehr):",
         "Pour cent des valeurs actuelles (110 = 10 % de plus):",
         "Procento současných hodnot (110 = o 10 % více):"},
    /* CellsCopied */ {"%1 cells copied", "%1 Zellen kopiert", "%1 cases copiées",
         "Zkopírováno buněk: %1"},
    /* CellsPasted */ {"%1 cells pasted", "%1 Zellen eingefügt", "%1 cases collées",
         "Vloženo buněk: %1"},
    /* PasteNothing */ {"Paste: the clipboard holds no numbers for these cells",
         "Einfügen: die Zwischenablage enthält keine Zahlen für diese Zellen",
         "Coller: le presse-papiers ne contient aucun nombre pour ces cases",
         "Vložit: schránka neobsahuje čísla pro tyto buňky"},
    /* MapCellHint */ {"Arrows move, Shift+arrows or drag select, PgUp/PgDn step by 5, right-click for the map tools",
         "Pfeile bewegen, Umschalt+Pfeile oder Ziehen wählen aus, Bild auf/ab ändert um 5, rechte Maustaste für die Mappenwerkzeuge",
         "Flèches: déplacer, Maj+flèches ou glisser: choisir, Page préc./suiv.: pas de 5, clic droit: outils de la carte",
         "Šipky posouvají, Shift+šipky nebo tažení vybírá, PgUp/PgDn krok o 5, pravé tlačítko nástroje mapy"},
    /* MapRpmHint */ {"RPM point of this column", "Drehzahlpunkt dieser Spalte",
         "Point de régime de cette colonne", "Bod otáček tohoto sloupce"},
    /* MapColumnHint */ {"Raise or lower every cell of this column by one step",
         "Alle Zellen dieser Spalte um einen Schritt erhöhen oder senken",
         "Augmenter ou baisser d´un pas toutes les cases de cette colonne",
         "Zvýšit nebo snížit všechny buňky tohoto sloupce o jeden krok"},
    /* MapTpsHint */ {"Advance maps over throttle and rpm (ticked) or over rpm only",
         "Vorzündungsmappen über Drosselklappe und Drehzahl (angekreuzt) oder nur über Drehzahl",
         "Cartes d´avance selon papillon et régime (coché) ou selon régime seul",
         "Mapy předstihu podle plynu a otáček (zaškrtnuto) nebo jen podle otáček"},
    /* ServoEnableHint */ {"The unit drives the servo by the servo map (ticked) or leaves it alone",
         "Das Gerät stellt das Servo nach der Servomappe (angekreuzt) oder lässt es in Ruhe",
         "Le boîtier commande le servo selon la carte servo (coché) ou le laisse au repos",
         "Jednotka řídí servo podle mapy serva (zaškrtnuto) nebo jej nechá v klidu"},
    /* PowerBoxHint */ {"Output %1 on in throttle band %2, rpm band %3",
         "Ausgang %1 ein im Drosselklappenbereich %2, Drehzahlbereich %3",
         "Sortie %1 active dans la plage de papillon %2, plage de régime %3",
         "Výstup %1 zapnut v pásmu plynu %2, pásmu otáček %3"},
    /* HistoryNotKept */ {"Program history not kept: %1",
         "Programmierverlauf nicht gespeichert: %1",
         "Historique de programmation non conservé: %1",
         "Historie programování nebyla uložena: %1"},
    /* SettingsUnreadable */ {"The settings file %1 could not be read (%2). It will be left as it is: "
         "this run starts with default settings and does not save its settings at close.",
         "Die Einstellungsdatei %1 konnte nicht gelesen werden (%2). Sie bleibt, wie sie ist: "
         "dieser Lauf beginnt mit den Standardeinstellungen und speichert seine Einstellungen beim "
         "Schließen nicht.",
         "Le fichier de réglages %1 n´a pas pu être lu (%2). Il reste tel quel: ce lancement "
         "démarre avec les réglages de base et n´enregistre pas ses réglages à la fermeture.",
         "Soubor nastavení %1 nelze přečíst (%2). Zůstane, jak je: tento běh začne se základním "
         "nastavením a při zavření své nastavení neuloží."},
    /* StateUnreadable */ {"The configuration state file %1 could not be read (%2). It will be left "
         "as it is: this run starts with the default configuration and does not keep its "
         "configuration for the next start.",
         "Die Zustandsdatei der Konfiguration %1 konnte nicht gelesen werden (%2). Sie bleibt, wie "
         "sie ist: dieser Lauf beginnt mit der Standardkonfiguration und behält seine "
         "Konfiguration nicht für den nächsten Start.",
         "Le fichier d´état de la configuration %1 n´a pas pu être lu (%2). Il reste tel quel: ce "
         "lancement démarre avec la configuration de base et ne garde pas sa configuration pour "
         "le prochain démarrage.",
         "Stavový soubor konfigurace %1 nelze přečíst (%2). Zůstane, jak je: tento běh začne se "
         "základní konfigurací a svou konfiguraci pro příští start nezachová."},
    /* SettingsNotSaved */ {"The settings were not saved: %1: %2",
         "Die Einstellungen wurden nicht gespeichert: %1: %2",
         "Les réglages n´ont pas été enregistrés: %1: %2",
         "Nastavení nebylo uloženo: %1: %2"},
    /* StateNotKept */ {"The configuration was not kept for the next start: %1: %2",
         "Die Konfiguration wurde nicht für den nächsten Start behalten: %1: %2",
         "La configuration n´a pas été gardée pour le prochain démarrage: %1: %2",
         "Konfigurace nebyla zachována pro příští start: %1: %2"},
    /* ReasonFolder */ {"it is a folder", "es ist ein Ordner", "c´est un dossier", "je to složka"},
    /* ReasonNotRegular */ {"it is not a regular file", "es ist keine gewöhnliche Datei",
         "ce n´est pas un fichier ordinaire", "není to obyčejný soubor"},
    /* ReasonTooLarge */ {"it is larger than %1 MiB", "sie ist größer als %1 MiB",
         "il dépasse %1 Mio", "je větší než %1 MiB"},
};

// Fills the first %1 of `pattern` with `value`.
std::string Fill(const char* pattern, const std::string& value) {
  std::string s = pattern;
  const std::size_t at = s.find("%1");
  if (at != std::string::npos) s.replace(at, 2, value);
  return s;
}

}  // namespace

int ClampLanguage(int language) {
  return (language < 0 || language >= kLanguageCount) ? kLanguageEnglish : language;
}

const char* MessageText(int language, int id) {
  if (id < 0 || id >= kTextCount) return "";
  return kTable[id][ClampLanguage(language)];
}

const char* UiMessage(int language, UiText id) {
  const int i = static_cast<int>(id);
  if (i < 0 || i >= static_cast<int>(UiText::Count)) return "";
  return kUiTable[i][ClampLanguage(language)];
}

std::string FillPlaceholders(const char* pattern, const std::vector<std::string>& values) {
  std::string out;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] >= '1' && p[1] <= '9' &&
        static_cast<std::size_t>(p[1] - '1') < values.size()) {
      out += values[static_cast<std::size_t>(p[1] - '1')];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string LocalizedFileReason(int language, const std::string& reason) {
  // The file layer writes "cannot open PATH: reason" and "file too large: PATH".
  static constexpr std::pair<const char*, UiText> kForms[] = {
      {"cannot open ", UiText::CannotOpen},
      {"cannot read ", UiText::CannotRead},
      {"cannot write ", UiText::CannotWrite},
  };
  for (const auto& [prefix, id] : kForms) {
    const std::string p = prefix;
    if (reason.compare(0, p.size(), p) != 0) continue;
    // The path may hold ": " itself; the system's reason follows the last one.
    const std::size_t colon = reason.rfind(": ");
    if (colon == std::string::npos || colon < p.size()) break;
    const std::string path = reason.substr(p.size(), colon - p.size());
    return Fill(UiMessage(language, id), path) + reason.substr(colon);
  }
  const std::string large = "file too large: ";
  if (reason.compare(0, large.size(), large) == 0)
    return Fill(UiMessage(language, UiText::FileTooLarge), reason.substr(large.size()));
  return reason;
}

int LanguageFromArgument(const std::string& argument) {
  static constexpr const char* kNames[kLanguageCount] = {"ENGLISH", "DEUTSCH", "FRANCE", "CESKY"};
  for (int i = 0; i < kLanguageCount; ++i) {
    if (argument == kNames[i]) return i;
  }
  return -1;
}

void TextTable::ApplyMessageTable(int language) {
  const int lang = ClampLanguage(language);
  for (int id = 0; id < kTextCount; ++id) entries_[static_cast<std::size_t>(id)] = kTable[id][lang];
}

const std::string& TextTable::text(int id) const {
  static const std::string kEmpty;
  if (id < 0 || id >= kTextCount) return kEmpty;
  return entries_[static_cast<std::size_t>(id)];
}

std::vector<std::pair<std::string, std::string>> ComposedCaptions(const TextTable& texts) {
  return {
      {"LabelRetard", texts.text(TxtRetard) + " [°]"},
      {"GroupBoxRetard", texts.text(TxtRetard)},
      {"LabelStartSoftLimiter", texts.text(TxtStartSoftLimiter) + " [rpm]"},
      {"LabelStartHardLimiter", texts.text(TxtStartLimiter) + " [rpm]"},
      {"LabelSoftLimiter", texts.text(TxtSoftLimiter) + " [rpm]"},
      {"LabelHardLimiter", texts.text(TxtLimiter) + " [rpm]"},
      {"GroupBoxPoti", texts.text(TxtPotentiometer)},
      {"RadioGroupInput1", texts.text(TxtInput1)},
      {"RadioGroupInput2", texts.text(TxtInput2)},
      {"RadioGroupInput3", texts.text(TxtInput3)},
  };
}

}  // namespace rq
