// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/caption_table.h"

#include "ui/text_table.h"

namespace rq {
namespace {

using P = CaptionProperty;
constexpr CaptionStep kMsg = CaptionStep::Message;

// Items 0..6 of the three input-function radio groups, per language.
#define RQ_INPUT_ITEMS_EN "Off\nKill switch\nBlocking\nClutch master\nRetard\nStart Limiter\n2 nd advance chart"
#define RQ_INPUT_ITEMS_DE "Aus\nNot Aus\nBlockierung\nSchaltautomat\nSpätzündung\nStartbegrenzer\n2.Vorzündung mappe"
#define RQ_INPUT_ITEMS_FR "Off\nInterrupteur de sécurité\nBlocage\npar embeillage\nRetard à l´allumage\nLimitateur départ\n2 nd advance chart"
#define RQ_INPUT_ITEMS_CZ "Vypnut\nKill switch\nBlokování\nClutch master\nSnížení předstihu\nStartovací omezovač\n2. mapa předstihu"

// Rows in the order of the window: frame and menus, page titles, hints, then page by page.
// Trailing blanks are part of the texts.
const CaptionRow kRows[] = {
    // ---- Window, menu bar and device buttons ----
    {"FormHlav", P::Title, 0,
     {"Programming of RQ_VTMX4_Kelvora unit", "Programmierung der RQ_VTMX4_Kelvora Zündbox",
      "Programation de RQ_VTMX4_Kelvora unité", "Programování jednotky RQ_VTMX4_Kelvora"}},
    {"MenuFile", P::Caption, 0, {"&File", "&Datei", "&Fichier", "&Soubor"}},
    {"MenuNew", P::Caption, 0, {"&New", "&Neu", "&Nouveau", "&Nový"}},
    {"MenuOpen", P::Caption, 0, {"&Open", "&Öffnen", "&Ouvrir", "&Otevřít"}},
    {"MenuOpenExeDir", P::Caption, 0,
     {"Open from exe dir", "Öffnen aus exe dir", "Open from exe dir", "Otevřít z exe dir"}},
    {"MenuSave", P::Caption, 0, {"&Save", "&Speichern", "&Mèmoriser", "&Uložit"}},
    {"MenuSaveExeDir", P::Caption, 0,
     {"Save to exe dir", "Speichern in exe dir", "Save to exe dir", "Uložit do exe dir"}},
    {"MenuPrint", P::Caption, 0, {"&Print", "&Drucken", "&Imprimer", "&Tisk"}},
    {"MenuPrintAll", P::Caption, 0, {"Print all", "Drucken alles", "&Imprimer tout", "Tisk vše"}},
    {"MenuExit", P::Caption, 0, {"E&xit", "&Beenden", "&Sortir", "&Konec"}},
    {"MenuCom", P::Caption, 0, {"&Com", "&COM-Anschluß", "&Connection com", "&Port"}},
    {"MenuDevice", P::Caption, 0, {"&Ignition", "&Zündung", "&Allumage", "&Zapalování"}},
    {"MenuRead", P::Caption, 0, {"&Read", "&Lesen", "&Lire", "Čí&st"}},
    {"ButtonRead", P::Caption, 0, {"&Read", "&Lesen", "&Lire", "Čí&st"}},
    {"MenuVerify", P::Caption, 0, {"&Verify", "&Vergleichen", "&Verifier", "&Verifikace"}},
    {"BitBtnVerify", P::Caption, 0, {"&Verify", "&Vergleichen", "&Verifier", "&Verifikace"}},
    {"MenuProgram", P::Caption, 0, {"&Program", "&Programmieren", "&Programer", "&Programovat"}},
    {"BitBtnProgram", P::Caption, 0, {"&Program", "&Programmieren", "&Programer", "&Programovat"}},
    {"MenuTools", P::Caption, 0, {"Tools", "Werkzeuge", "Outillage", "Pomůcky"}},
    {"MenuZpet", P::Caption, 0, {"Undo", "Zurück", "Undo", "Zpět"}},
    {"MenuZnovu", P::Caption, 0, {"Redo", "Wieder", "Redo", "Znovu"}},
    {"MenuLogViewer", P::Caption, 0,
     {"Ride log viewer...", "Fahrtaufzeichnung ansehen...", "Visualiser un journal...",
      "Prohlížeč záznamu jízdy..."}},
    {"CheckBoxLogOverlay", P::Caption, 0, {"Log", "Log", "Journal", "Záznam"}},
    {"CheckBoxLogOverlay", P::Hint, 0,
     {"Show on the map how long the open ride log spent in each cell",
      "Auf der Mappe zeigen, wie lange die offene Fahrtaufzeichnung in jeder Zelle war",
      "Montrer sur la carte combien de temps le journal ouvert a passé dans chaque cellule",
      "Ukázat v mapě, jak dlouho otevřený záznam jízdy strávil v každé buňce"}},
    {"ButtonLogFilters", P::Caption, 0, {"Filters...", "Filter...", "Filtres...", "Filtry..."}},
    {"MenuLogViewer", P::Hint, 0,
     {"Plots of a ride log, and the log on the map pages",
      "Diagramme einer Fahrtaufzeichnung und die Aufzeichnung auf den Mappen",
      "Graphiques d'un journal de roulage, et le journal sur les cartes",
      "Grafy záznamu jízdy a záznam v mapách"}},
    {"MenuLanguage", P::Caption, 0, {"&Language", "&Sprache", "&Langue", "&Jazyk"}},
    {"MenuEnglish", P::Caption, 0, {"&English", "Englisch", "&Englais", "&Anglicky"}},
    {"MenuGerman", P::Caption, 0, {"&German", "&Deutsch", "&Allemand", "&Německy"}},
    {"MenuFrench", P::Caption, 0, {"&French", "&Französisch", "&Francais", "Francouzky"}},
    {"MenuCzech", P::Caption, 0, {"&Czech", "&Tschechisch", "&Tchèque", "Če&sky"}},
    {"MenuHelp", P::Caption, 0, {"&Help", "&Hilfe", "&Aide", "Nápověda"}},
    {"MenuContens", P::Caption, 0, {"&Contents...", "&Inhalt...", "&Contenu", "Obsah"}},
    {"MenuAbout", P::Caption, 0,
     {"&About...", "&Über Programm...", "&Contenu du programme", "&O programu..."}},
    {"CheckBoxProgHned", P::Caption, 0,
     {"Programming after change", "Programmierung nach Änderung", "Sovegarde après modification",
      "Programování po změně"}},

    // ---- Ride log recording: the Ignition menu item and the live strip ----
    {"MenuRecord", P::Caption, 0,
     {"Recor&d ride log", "Fahrt &aufzeichnen", "&Enregistrer le trajet", "Zázna&m jízdy"}},
    {"ButtonRecord", P::Caption, 0, {"Record", "Aufnahme", "Enregistrer", "Nahrávat"}},
    {"ButtonOpenLog", P::Caption, 0, {"Open log", "Log öffnen", "Voir le journal", "Otevřít záznam"}},
    {"LabelRecordRowsTitle", P::Caption, 0, {"rows", "Zeilen", "lignes", "řádků"}},
    {"LabelRecordFailed", P::Caption, 0,
     {"The ride log cannot be written; the recording has stopped.",
      "Das Fahrtprotokoll kann nicht geschrieben werden; die Aufnahme wurde beendet.",
      "Le journal de trajet ne peut pas être écrit ; l'enregistrement s'est arrêté.",
      "Záznam jízdy nelze zapsat; nahrávání se zastavilo."}},
    {"MenuRecord", P::Hint, 0,
     {"Record the live values to a ride log (Ctrl+R)",
      "Die Live-Werte in ein Fahrtprotokoll aufzeichnen (Strg+R)",
      "Enregistrer les valeurs en direct dans un journal de trajet (Ctrl+R)",
      "Zaznamenávat živé hodnoty do záznamu jízdy (Ctrl+R)"}},
    {"ButtonRecord", P::Hint, 0,
     {"Record the live values to a ride log (Ctrl+R)",
      "Die Live-Werte in ein Fahrtprotokoll aufzeichnen (Strg+R)",
      "Enregistrer les valeurs en direct dans un journal de trajet (Ctrl+R)",
      "Zaznamenávat živé hodnoty do záznamu jízdy (Ctrl+R)"}},
    {"ButtonOpenLog", P::Hint, 0,
     {"Open the ride log just recorded in the log viewer",
      "Das eben aufgezeichnete Fahrtprotokoll im Log-Betrachter öffnen",
      "Ouvrir le journal de trajet enregistré dans la visionneuse",
      "Otevřít právě nahraný záznam jízdy v prohlížeči"}},
    {"LabelRecordTime", P::Hint, 0,
     {"Recording time", "Aufnahmedauer", "Durée d'enregistrement", "Doba záznamu"}},

    // ---- Page titles (Race and Monitor keep the form's texts) ----
    {"TabSheet_Bike", P::Caption, 0, {"Bike", "Mottorad", "&Motocycle", "Motocykl"}},
    {"TabSheet_Inputs", P::Caption, 0, {"Inputs", "Eingänge", "Entrée", "Vstupy"}},
    {"TabSheet_Advance1", P::Caption, 0, {"", "", "", ""}, 0, TxtAdvance1},
    {"TabSheet_Advance2", P::Caption, 0, {"", "", "", ""}, 0, TxtAdvance2},
    {"TabSheet_Servo", P::Caption, 0, {"Servo", "Servo", "Servo", "Servo"}},
    {"TabSheet_PowerOut1", P::Caption, 0, {"Power out", "Lstg. Ausg.", "Power out", "Výkonový výstup"}},
    {"TabSheet_PowerOut2", P::Caption, 0, {"Power out", "Lstg. Ausg.", "Power out", "Výkonový výstup"}},
    {"TabSheet_Gear", P::Caption, 0, {"Gear", "Gang", "Gear", "Převod"}},
    {"TabSheet_Ladeni", P::Caption, 0, {"Tests", "Probe", "Tests", "Zkoušky"}},

    // ---- Hints: the long text only. The language items speak their own language. ----
    {"MenuEnglish", P::Hint, 0,
     {"Set English menu", "Set English menu", "Set English menu", "Set English menu"}},
    {"MenuGerman", P::Hint, 0,
     {"Deutsches Menü", "Deutsches Menü", "Deutsches Menü", "Deutsches Menü"}},
    {"MenuFrench", P::Hint, 0,
     {"Installer en Francais ", "Installer en Francais ", "Installer en Francais ",
      "Installer en Francais "}},
    {"MenuCzech", P::Hint, 0,
     {"Nastavit české menu", "Nastavit české menu", "Nastavit české menu", "Nastavit české menu"}},
    {"SpeedButtonOpen", P::Hint, 0,
     {"Open file with parametrs", "Datei mit Parametern öffnen", "Ouvrir un fichier de paramètres",
      "Otevřít soubor s parametry"}},
    {"MenuOpen", P::Hint, 0,
     {"Open file with parametrs", "Datei mit Parametern öffnen", "Ouvrir un fichier de paramètres",
      "Otevřít soubor s parametry"}},
    {"SpeedButton6", P::Hint, 0,
     {"Set default parametrs", "Grundeinstellung laden", "Charger les paramètres de base",
      "Nastavit základní parametry"}},
    {"MenuNew", P::Hint, 0,
     {"Set default parameters ", "Grundeinstellung laden", "Charger les paramètres de base",
      "Nastavit základní parametry"}},
    {"SpeedButtonSave", P::Hint, 0,
     {"Save parametrs to file", "Parameter in Datei speichern",
      "Enregistrer les paramètres dans un fichier", "Uložit parametry do souboru"}},
    {"MenuSave", P::Hint, 0,
     {"Save parametrs to file", "Parameter in Datei speichern",
      "Enregistrer les paramètres dans un fichier", "Uložit parametry do souboru"}},
    {"SpeedButtonPrint", P::Hint, 0,
     {"Print parametrs", "Parameter drucken", "Imprimer les paramètres", "Tisk parametrů"}},
    {"MenuPrint", P::Hint, 0,
     {"Print parametrs", "Parameter drucken", "Imprimer les paramètres", "Tisk parametrů"}},
    {"BitBtnProgram", P::Hint, 0,
     {"Programing  set parametrs to ignition", "Eingestellte Parameter in die Zündung programmieren",
      "Programmer les paramètres dans l'allumage", "Naprogramovat nastavené parametry do zapalování"}},
    {"MenuProgram", P::Hint, 0,
     {"Programing  set parametrs to ignition", "Eingestellte Parameter in die Zündung programmieren",
      "Programmer les paramètres dans l'allumage", "Naprogramovat nastavené parametry do zapalování"}},
    {"BitBtnVerify", P::Hint, 0,
     {"Compare set parametrs  with parametrs of ignition",
      "Eingestellte Parameter mit der Zündung vergleichen",
      "Comparer les paramètres avec ceux de l'allumage",
      "Porovnat nastavené parametry s parametry zapalování"}},
    {"MenuVerify", P::Hint, 0,
     {"Compare set parametrs  with parametrs of ignition",
      "Eingestellte Parameter mit der Zündung vergleichen",
      "Comparer les paramètres avec ceux de l'allumage",
      "Porovnat nastavené parametry s parametry zapalování"}},
    {"ButtonRead", P::Hint, 0,
     {"Reading parametrs from ignition", "Parameter aus der Zündung lesen",
      "Lire les paramètres de l'allumage", "Čtení parametrů ze zapalování"}},
    {"MenuRead", P::Hint, 0,
     {"Reading parametrs from ignition", "Parameter aus der Zündung lesen",
      "Lire les paramètres de l'allumage", "Čtení parametrů ze zapalování"}},
    {"MenuExit", P::Hint, 0,
     {"End of program", "Programm beenden", "Quitter le programme", "Ukončení programu"}},
    {"MenuLanguage", P::Hint, 0,
     {"Set English or German or French or Czech ",
      "Englisch, Deutsch, Französisch oder Tschechisch einstellen",
      "Choisir anglais, allemand, français ou tchèque",
      "Nastavit angličtinu, němčinu, francouzštinu nebo češtinu"}},
    {"MenuCom", P::Hint, 0,
     {"Set number of com", "COM-Anschluss wählen", "Choisir le port COM", "Nastavit číslo portu COM"}},
    {"CheckBoxProgHned", P::Hint, 0,
     {"Programing at once after change", "Nach jeder Änderung sofort programmieren",
      "Programmer aussitôt après chaque modification", "Programovat ihned po každé změně"}},
    {"LabelVerze1", P::Hint, 0,
     {"Version of program in ignition", "Programmversion in der Zündung",
      "Version du programme de l'allumage", "Verze programu v zapalování"}},
    {"LabelVerze2", P::Hint, 0,
     {"Date of program in ignition", "Programmdatum in der Zündung",
      "Date du programme de l'allumage", "Datum programu v zapalování"}},
    {"LabelVerze3", P::Hint, 0,
     {"Time of program in ignition", "Programmzeit in der Zündung",
      "Heure du programme de l'allumage", "Čas programu v zapalování"}},

    // ---- Bike page ----
    {"LabelBike", P::Caption, 0, {"Motorbike type", "Motorradtyp", "Type de moto", "Typ motocyklu"}},
    {"GroupBoxSpecial", P::Caption, 0,
     {"Specification of synchronization - Caution - For experienced user only!",
      "Synchronisation - Achtung - nur für erfahrene Benutzer!",
      "Synchronisation - Attention - réservé aux utilisateurs expérimentés !",
      "Nastavení synchronizace - Pozor - jen pro zkušené uživatele!"}},
    {"LabelSynchro", P::Caption, 0,
     {"Synchronization method", "Synchronisationsart", "Mode de synchronisation",
      "Způsob synchronizace"}},
    {"LabelPocPalcu", P::Caption, 0,
     {"Number of lobe at rotor", "Anzahl Leitstücke am Rotor", "Nombre de lobes du rotor",
      "Počet výstupků na rotoru"}},
    {"LabelPocKanalu", P::Caption, 0,
     {"Number of outputs (coils)", "Anzahl Ausgänge (Spulen)", "Nombre de sorties (bobines)",
      "Počet výstupů (cívek)"}},
    {"GroupBoxPalec", P::Caption, 0, {"Channel ", "Kanal ", "Canal ", "Kanál "}, 2},
    {"LabelPalec1Zac", P::Caption, 0,
     {"Maximum advance", "Max. Vorzündung", "Avance maximale", "Maximální předstih"}},
    {"LabelPalec2Zac", P::Caption, 0,
     {"Maximum advance", "Max. Vorzündung", "Avance maximale", "Maximální předstih"}},
    {"LabelPalec1End", P::Caption, 0,
     {"Start advance", "Startvorzündung", "Avance au démarrage", "Startovací předstih"}},
    {"LabelPalec2End", P::Caption, 0,
     {"Start advance", "Startvorzündung", "Avance au démarrage", "Startovací předstih"}},
    {"LabelLobe", P::Caption, 0, {"Lobe", "Leitstück", "Lobe", "Výstupek"}},
    {"LabelHrana2", P::Caption, 0, {"2nd Edge", "2. Flanke", "2e front", "2. hrana"}},
    {"LabelSnimac2", P::Caption, 0, {"2nd Pick-up", "2. Geber", "2e capteur", "2. snímač"}},
    {"LabelPocSynchro", P::Caption, 0,
     {"Revolutions without ignition", "Umdrehungen ohne Zündung", "Tours sans allumage",
      "Otáček bez zapalování"}},
    {"CheckBoxInvPickup", P::Caption, 0,
     {"Inverse polarity of pick-up ", "Umgekehrte Polarität Geber ", "Polarité inversée capteur ",
      "Obrácená polarita snímače "}, 2},
    {"LabelKompenz", P::Caption, 0, {"Compensation ", "Kompensation ", "Compensation ", "Kompenzace "}},
    {"GroupBoxRpm", P::Caption, 0,
     {"Tachometer output", "Drehzahlmesserausgang", "Sortie compte-tours", "Výstup otáčkoměru"}},
    {"LabelRpmPulsu", P::Caption, 0,
     {"Pulses per revolution", "Impulse pro Umdrehung", "Impulsions par tour", "Pulzů na otáčku"}},
    {"LabelRpmKorekce", P::Caption, 0,
     {"Correction [%]", "Korrektur [%]", "Correction [%]", "Korekce [%]"}},
    {"CheckBoxZakazCteni", P::Caption, 0, {"No Reading", "Lesesperre", "Lecture interdite", "Zákaz čtení"}},
    {"LabelFile1", P::Caption, 0, {"File:", "Datei:", "Fichier:", "Soubor:"}},

    // Items 1 to 3 keep the form's texts in every language.
    {"ComboBoxBike", P::Item, 0,
     {"Classic (1 lobe, 1 or 2 pick-up) ", "Klassisch (1 Leitstück, 1 oder 2 Geber)",
      "Classique (1 lobe, 1 or 2 pick-up) ", "Klasika (1 výstupek, 1 nebo 2 snimače)"}},
    {"ComboBoxBike", P::Item, 4,
     {"Honda NSR 250 MC18 -", "Honda NSR 250 MC18 -", "Honda NSR 250 MC18 -", "Honda NSR 250 MC18 -"}},
    {"ComboBoxBike", P::Item, 5,
     {"Special setting", "Sonderstellung", "Spécial ajustage", "Speciální nastavení"}},

    {"ComboBoxSynchro", P::Item, 0,
     {"1 lobe, 1 or 2 pick-up", "1 Leitstück, 1 oder 2 Geber", "1 lobe, 1 or 2 pick-up",
      "1 výstupek, 1 nebo 2 snimače"}},
    {"ComboBoxSynchro", P::Item, 1,
     {"Short gap between lobes (inserted lobe)",
      "Kurz Abstand zwischen Leitstücken (eingeschiebe Leitstück)",
      "Short gap between lobes (inserted lobe)", "Krátká mezera mezi výstupky (vsunutý výstupek)"}},
    {"ComboBoxSynchro", P::Item, 2, {"Wide lobe", "Längere Leitstück", "Wide lobe", "Široký výstupek"}},
    {"ComboBoxSynchro", P::Item, 3,
     {"Long gap between lobes (missing lobe)",
      "Lang Abstand zwischen Leitstücken (ausgelassene Leitstück)",
      "Long gap between lobes (missing lobe)", "Dlouhá mezera mezi výstupky (vynechaný výstupek)"}},
    {"ComboBoxSynchro", P::Item, 4,
     {"2 pick-ups, missing lobe", "2 Geber, ausgelassene Leitstück", "2 pick-ups, missing lobe",
      "2 snímače vynechané výstupky"}},
    {"ComboBoxSynchro", P::Item, 5,
     {"2 Short gaps between lobes (inserted lobe)",
      "2 Kurze Abstände zwischen Leitstücken (eingeschiebe Leitstück)",
      "2 short gaps between lobes (inserted lobe)", "2 krátké mezery mezi výstupky (vsunutý výstupek)"}},
    {"ComboBoxSynchro", P::Item, 6,
     {"Honda NSR 250 MC18 -", "Honda NSR 250 MC18 -", "Honda NSR 250 MC18 -", "Honda NSR 250 MC18 -"}},

    {"ComboBoxNasobekPalcu", P::Item, 0,
     {"1 ignition per 2 revolutions (camshaft)", "1 Zündung pro 2 Umdrehungen (Nockenwelle)",
      "1 ignition per 2 revolutions (camshaft)", "1 zápal za 2 otáčky (vačkový hřídel)"}},
    {"ComboBoxNasobekPalcu", P::Item, 1,
     {"1 ignition per revolution", "1 Zündung pro Umdrehung", "1 ignition per revolution",
      "1 zápal za otáčku"}},
    {"ComboBoxNasobekPalcu", P::Item, 2,
     {"2 ignitions per revolution", "2 Zündungen pro Umdrehung", "2 ignitions per revolution",
      "2 zápaly za otáčku"}},
    {"ComboBoxNasobekPalcu", P::Item, 3,
     {"3 ignitions per revolution", "3 Zündungen pro Umdrehung", "3 ignitions per revolution",
      "3 zápaly za otáčku"}},

    // ---- Inputs page ----
    {"CheckBoxInvInput", P::Caption, 0,
     {"Inverse polarity of input ", "Umgekehrte Polarität Eingang ", "Polarité inversée entrée ",
      "Obrácená polarita vstupu "}, 3},
    {"GroupBoxActivation", P::Caption, 0,
     {"Activation by Switch on", "Aktiv bei Schalter ein", "Actif contact fermé", "Aktivace sepnutím"}},
    {"LabelRetardPocetOff", P::Caption, 0,
     {"Number clutch master on for retard off", "Schaltautomat-Schaltungen bis Spätzündung aus",
      "Nombre de clutch master avant fin du retard", "Počet řazení pro vypnutí snížení předstihu"}},
    {"LabelStartLimiterPause", P::Caption, 0,
     {"Start limiter on delay [s]", "Startbegrenzerein Verzögerung [s]", "Start limiter on delay [s]",
      "Startovací omezovač zpoždění zapnutí [s]"}, 0, -1, kMsg},
    {"GroupBoxMapa2Switch", P::Caption, 0,
     {"Switching into 2nd advance chart", "Umschaltung in zweite Vorzündungsmappe",
      "Switching to 2nd advance chart", "Přepnutí do druhé mapy předstihu"}, 0, -1, kMsg},
    {"LabelMapa2Akcel", P::Caption, 0,
     {"Acceleration threshold [rpm/s]", "Beschleunigungsschwelle,  [rpm/s]",
      "Acceleration threshold [rpm/s]", "Akcelerační práh [rpm/s]"}, 0, -1, kMsg},
    {"RadioGroupModePotencMode", P::Caption, 0, {"change", "ändert", "change", "mění"}, 0, -1, kMsg},

    {"RadioGroupInput1", P::ItemList, 0,
     {RQ_INPUT_ITEMS_EN, RQ_INPUT_ITEMS_DE, RQ_INPUT_ITEMS_FR, RQ_INPUT_ITEMS_CZ}},
    {"RadioGroupInput2", P::ItemList, 0,
     {RQ_INPUT_ITEMS_EN "\nGear", RQ_INPUT_ITEMS_DE "\nGang", RQ_INPUT_ITEMS_FR "\nRapport",
      RQ_INPUT_ITEMS_CZ "\nRychlostní stupeň"}},
    {"RadioGroupInput3", P::ItemList, 0,
     {RQ_INPUT_ITEMS_EN "\nSpeed", RQ_INPUT_ITEMS_DE "\nGeschwindigkeit", RQ_INPUT_ITEMS_FR "\nAllure",
      RQ_INPUT_ITEMS_CZ "\nRychlost"}},
    {"RadioGroupModePotencMode", P::ItemList, 0,
     {"Off\nAdvance\nStart Limiter\nPilot ligjt\nAccelaration switch of advance",
      "Aus\nVorzündungomat\nStartbegrenzer\nSchaltblitz\nBeschleunigungsschwelle",
      "Off\nAdvance\nStart Limiter\nPilot ligjt\nAccelaration switch of advance",
      "Vypnut\nPředstih\nStartovací omezovač\nKontrolka řazení\nPřepnutí do 2. mapy předstihu"},
     0, -1, kMsg},

    // ---- Map bar of the three map pages ----
    {"CheckBoxMapAll", P::Caption, 0, {"All", "Alles", "Tout", "Vše"}},
    {"CheckBoxMapPercent", P::Caption, 0, {"percent", "Prozent", "percent", "Procenta"}, 0, -1, kMsg},
    {"LabelCorrection", P::Caption, 0,
     {"Correction for cyl. 1,2", "Korrektion für Zyl. 1,2", "Correction for cyl. 1,2",
      "Korekce pro válec 1,2"}, 0, -1, kMsg},

    // ---- Power-output pages: four outputs ----
    {"RadioGroupPOut", P::Caption, 0,
     {"Mode power out ", "Lstg. Ausg Type ", "Mode power out ", "Typ výkonoveho výstupu "}, 4},
    {"GroupBoxPOutMap", P::Caption, 0,
     {"Setting power out ", "Einstellung Leistunsgausgang ", "Setting power out ",
      "Nastavení výkonového výstupu "}, 4},
    {"RadioGroupPOut", P::ItemList, 0,
     {"Off\nFuel pump\nPilot light\nPower jet Honda\nSpecial setting",
      "Off\nFuel pump\nPilot light\nPower jet Honda\nSonderstellung",
      "Off\nFuel pump\nPilot light\nPower jet Honda\nSpecial setting",
      "Off\nPalivová pumpa\nKontrolka řazení\nPower jet Honda\nSpeciální nastavení"}, 4},

    // ---- Gear page ----
    {"RadioGroupGearSystem", P::Caption, 0,
     {"Determining of gear", "Gangerkennung", "Détection du rapport", "Určení rychlostního stupně"}},
    {"GroupBoxNapetiProGear", P::Caption, 0,
     {"Voltage of gears", "Spannung der Gänge", "Tension des rapports", "Napětí převodů"}},
    {"LabelPocetGear", P::Caption, 0,
     {"Number of gears", "Anzahl Gänge", "Nombre de rapports", "Počet převodů"}},
    {"GroupBoxRpmSpeedProGear", P::Caption, 0,
     {"Ration Rpm/Speed", "Verhältnis Drehzahl/Geschw.", "Rapport régime/vitesse",
      "Poměr otáčky/rychlost"}},
    {"GroupBoxMonAutoGear", P::Caption, 0,
     {"Automatic from ratio rpm speed", "Automatisch aus Drehzahl/Geschw.",
      "Automatique par régime/vitesse", "Automaticky z poměru otáčky/rychlost"}},
    {"LabelGearAutoTime", P::Caption, 0, {"Min Time [s]", "Min. Zeit [s]", "Temps min. [s]", "Min. čas [s]"}},
    {"LabelGearAutoBand", P::Caption, 0, {"Zone [0.1%]", "Band [0.1%]", "Zone [0.1%]", "Pásmo [0.1%]"}},
    {"GroupBoxPulsuProSpeed", P::Caption, 0,
     {"Setting of speedometer", "Tachoeinstellung", "Réglage du compteur", "Nastavení tachometru"}},
    {"RadioGroupGearSystem", P::Item, 0, {"No", "Keine ", "No", "Není"}},
    {"RadioGroupGearSystem", P::Item, 1, {"Voltage", "Spannung", "Voltage", "Napětí"}},
    {"RadioGroupGearSystem", P::Item, 2,
     {"Ration Rpm Speed", "Proportion Rpm Geschwindigkeit", "Ration Rpm Speed", "Poměr Rpm rychlost"}},
    {"RadioGroupGearSystem", P::Item, 3,
     {"Automatic (Ratio Rpm Speed)", "Automatisch aus Rpm/Geschwindigkeit",
      "Automatic (Ratio Rpm Speed)", "Automaticky z poměru RPM - rychlost"}},
    {"RadioGroupSpeedMode", P::Item, 0,
     {"Pulse over 1s for 100 km/h", "Pulse in 1s bei 100 km/St", "Pulse over 1s for 100 km/h",
      "Pulsů za 1s pro 100km/hod"}},
    {"RadioGroupSpeedMode", P::Item, 1,
     {"Distance for pulse [mm]", "Strecke für Pulse", "Distance for pulse [mm]", "Vzdálenost pro pulz"}},

    // ---- Race page ----
    {"LabelGearKorAdv", P::Caption, 0, {"  [°]", "  [°]", "  [°]", "  [°]"}, 0, TxtAdvance},
    {"LabelGearKorLimiter", P::Caption, 0,
     {"Limiter [rpm]", "Begrenzer [rpm]", "Limiteur [rpm]", "Omezovač [rpm]"}},
    {"LabelClutchTime", P::Caption, 0,
     {"Clutch master time [ms]", "Schaltautomat Zeit [ms]", "Durée clutch master [ms]",
      "Doba clutch master [ms]"}},
    {"LabelClutchPause1", P::Caption, 0,
     {"Clutch master delay #1 [ms]", "Schaltautomat Verzögerung #1 [ms]",
      "Délai clutch master #1 [ms]", "Zpoždění clutch master #1 [ms]"}},
    {"LabelClutchPause2", P::Caption, 0,
     {"Clutch master delay #2 [ms]", "Schaltautomat Verzögerung #2 [ms]",
      "Délai clutch master #2 [ms]", "Zpoždění clutch master #2 [ms]"}},
    {"RadioGroupClutchMode", P::Caption, 0,
     {"Clutch mode", "Schaltautomat Modus", "Mode clutch master", "Režim clutch master"}},
    {"RadioGroupClutchMode", P::Item, 0,
     {"No ignition", "Keine Zündung", "No ignition", "Blokování zápalů"}},
    {"RadioGroupClutchMode", P::Item, 1, {"Retard", "Spätzündung", "Retard", "Zpoždění zážehu"}},
    {"LabelClutchMinRpm", P::Caption, 0,
     {"Min Rpm for Clutch", "Min. Drehzahl Schaltautomat", "Régime min. clutch master",
      "Min. otáčky pro clutch master"}},
    {"LabelClutchAdv", P::Caption, 0,
     {"Clutch advance [°]", "Vorzündung beim Schalten [°]", "Avance au passage [°]",
      "Předstih při řazení [°]"}},
    {"GroupBoxClutch", P::Caption, 0, {"Clutch master", "Schaltautomat", "Clutch master", "Clutch master"}},
    {"GroupBoxClutchTime", P::Caption, 0,
     {"Setting according gear", "Einstellung je Gang", "Réglage par rapport", "Nastavení podle převodu"}},
    {"GroupBoxGearKor", P::Caption, 0,
     {"Correction according gear", "Korrektur je Gang", "Correction par rapport", "Korekce podle převodu"}},

    // ---- Tests page ----
    {"GroupBoxTestRpm", P::Caption, 0,
     {"Tachometer output", "Drehzahlmesserausgang", "Sortie compte-tours", "Výstup otáčkoměru"}},
    {"GroupBoxTestIgn", P::Caption, 0, {"Ignition", "Zündung", "Allumage", "Zapalování"}},
    {"ButtonTestIgn", P::Caption, 0, {"Cylinder ", "Zylinder ", "Cylindre ", "Válec "}, 2},
    {"GroupBoxTestPOut", P::Caption, 0, {"Power out", "Lstg. Ausg.", "Power out", "Výkonový výstup"}},
    {"ButtonTestPOut", P::Caption, 0, {"Out ", "Ausgang ", "Out ", "Výstup "}, 4},

    // ---- Monitor page ----
    {"GroupBoxMonAdvance", P::Caption, 0, {"Advance", "Advance", "Advance", "Advance"}},
    {"GroupBoxMonInput", P::Caption, 0,
     {"Input to ground", "Eingang zu Erde", "Input to ground", "Vstup uzeměn"}},
    {"GroupBoxPotencKor", P::Caption, 0,
     {"Potenciometer change of", "Potentiometer änderung von", "Potenciometer change of",
      "Změna od potenciometru"}, 0, -1, kMsg},
};

#undef RQ_INPUT_ITEMS_EN
#undef RQ_INPUT_ITEMS_DE
#undef RQ_INPUT_ITEMS_FR
#undef RQ_INPUT_ITEMS_CZ

int ClampLanguage(int language) {
  return (language < 0 || language >= kLanguageCount) ? kLanguageEnglish : language;
}

const char* PropertyName(CaptionProperty p) {
  switch (p) {
    case CaptionProperty::Title: return "Title";
    case CaptionProperty::Caption: return "Caption";
    case CaptionProperty::Hint: return "Hint";
    case CaptionProperty::Item: return "Item";
    case CaptionProperty::ItemList: return "Item list";
  }
  return "?";
}

}  // namespace

std::span<const CaptionRow> CaptionRows() { return kRows; }

std::vector<CaptionText> CaptionTexts(int language) { return ExpandCaptionRows(kRows, language); }

std::vector<CaptionText> ExpandCaptionRows(std::span<const CaptionRow> rows, int language) {
  const int lang = ClampLanguage(language);
  std::vector<CaptionText> out;
  out.reserve(rows.size() + 16);
  for (const CaptionRow& row : rows) {
    std::string text = row.entry >= 0 ? MessageText(lang, row.entry) : "";
    text += row.texts[lang];
    if (row.numbered == 0) {
      out.push_back({row.control, row.property, row.item, std::move(text), row.step});
      continue;
    }
    for (int n = 1; n <= row.numbered; ++n) {
      const std::string number = std::to_string(n);
      // An item list is the same for every numbered control; a caption ends with the number.
      std::string t = row.property == CaptionProperty::ItemList ? text : text + number;
      out.push_back({row.control + number, row.property, row.item, std::move(t), row.step});
    }
  }
  return out;
}

std::string WindowTitle(int language) { return kRows[0].texts[ClampLanguage(language)]; }

std::string DescribeCaption(const CaptionText& row) {
  std::string s = row.control + " (" + PropertyName(row.property);
  if (row.property == CaptionProperty::Item) s += " " + std::to_string(row.item);
  return s + ")";
}

}  // namespace rq
