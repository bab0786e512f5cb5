// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/log_captions.h"

#include <iterator>

#include "ui/text_table.h"

namespace rq {
namespace {

using P = CaptionProperty;

const CaptionRow kLogRows[] = {
    {"LogViewer", P::Title, 0,
     {"Ride log", "Fahrtaufzeichnung", "Journal de roulage", "Záznam jízdy"}},
    {"LogButtonOpen", P::Caption, 0, {"Open...", "Öffnen...", "Ouvrir...", "Otevřít..."}},
    {"LogButtonFit", P::Caption, 0, {"Fit all", "Alles zeigen", "Tout afficher", "Zobrazit vše"}},
    {"LogButtonFit", P::Hint, 0,
     {"Show the whole log (Home)", "Die ganze Aufzeichnung zeigen (Pos1)",
      "Afficher tout le journal (Début)", "Zobrazit celý záznam (Home)"}},
    {"LogLabelSpeed", P::Caption, 0, {"Speed", "Tempo", "Vitesse", "Rychlost"}},
    {"LogCheckSecond", P::Caption, 0,
     {"Second cursor", "Zweiter Cursor", "Second curseur", "Druhý kurzor"}},
    {"LogCheckSecond", P::Hint, 0,
     {"A second cursor (right click) with time and value differences",
      "Ein zweiter Cursor (Rechtsklick) mit Zeit- und Wertdifferenzen",
      "Un second curseur (clic droit) avec les écarts de temps et de valeurs",
      "Druhý kurzor (pravé tlačítko) s rozdíly času a hodnot"}},
    {"LogLabelNote", P::Caption, 0,
     {"About three rows a second: a short pass through a cell leaves only one or two rows.",
      "Etwa drei Zeilen pro Sekunde: ein kurzer Durchgang durch eine Zelle hinterlässt nur ein "
      "oder zwei Zeilen.",
      "Environ trois lignes par seconde : un bref passage dans une cellule ne laisse qu'une ou "
      "deux lignes.",
      "Zhruba tři řádky za sekundu: krátký průjezd buňkou zanechá jen jeden či dva řádky."}},
    {"LogLabelPlot", P::Caption, 0, {"Plot", "Diagramm", "Graphique", "Graf"}},
    {"LogButtonAddPlot", P::Caption, 0,
     {"Add plot", "Diagramm dazu", "Ajouter graphique", "Přidat graf"}},
    {"LogButtonRemovePlot", P::Caption, 0,
     {"Remove plot", "Diagramm weg", "Retirer graphique", "Odebrat graf"}},
    {"LogLabelChannels", P::Caption, 0,
     {"Channels of the plot", "Kanäle des Diagramms", "Voies du graphique", "Kanály grafu"}},
    {"LogLabelHelp", P::Caption, 0,
     {"Wheel: zoom, drag: move, Ctrl+drag: zoom to area, click: cursor, arrows: move",
      "Rad: Zoom, Ziehen: schieben, Strg+Ziehen: Bereich zoomen, Klick: Cursor, Pfeile: schieben",
      "Molette : zoom, glisser : déplacer, Ctrl+glisser : zoom sur zone, clic : curseur, "
      "flèches : déplacer",
      "Kolečko: zoom, tažení: posun, Ctrl+tažení: zoom na oblast, klik: kurzor, šipky: posun"}},
    // The overlay's filter panel.
    {"LogOverlayPanel", P::Title, 0,
     {"Log on the map", "Aufzeichnung auf der Mappe", "Journal sur la carte", "Záznam v mapě"}},
    {"LogLabelMinRows", P::Caption, 0,
     {"Minimum rows per cell", "Mindestzeilen je Zelle", "Lignes min. par cellule",
      "Min. řádků na buňku"}},
    {"LogCheckSteady", P::Caption, 0,
     {"Steady state only", "Nur stationär", "Régime stable seulement", "Jen ustálený stav"}},
    {"LogLabelMaxRpm", P::Caption, 0,
     {"Max. rpm change per second", "Max. Drehzahländerung pro Sekunde",
      "Variation max. du régime par seconde", "Max. změna otáček za sekundu"}},
    {"LogLabelMaxThrottle", P::Caption, 0,
     {"Max. throttle change per second [%]", "Max. Gasänderung pro Sekunde [%]",
      "Variation max. des gaz par seconde [%]", "Max. změna plynu za sekundu [%]"}},
    {"LogLabelGears", P::Caption, 0, {"Gears", "Gänge", "Rapports", "Rychlostní stupně"}},
    {"LogLabelOverlayNote", P::Caption, 0,
     {"A cell under the minimum shows its figure in grey brackets: not enough data. A click on "
      "a cell moves the log viewer's cursor to its next row.",
      "Eine Zelle unter dem Minimum zeigt ihren Wert grau in Klammern: zu wenig Daten. Ein "
      "Klick auf eine Zelle setzt den Cursor des Betrachters auf ihre nächste Zeile.",
      "Une cellule sous le minimum montre son chiffre en gris entre parenthèses : pas assez de "
      "données. Un clic sur une cellule place le curseur du visualiseur sur sa ligne suivante.",
      "Buňka pod minimem ukazuje svůj údaj šedě v závorkách: málo dat. Klik na buňku posune "
      "kurzor prohlížeče na její další řádek."}},
};

struct Phrase {
  const char* texts[kLanguageCount];
};

const Phrase kPhrases[] = {
    {{"Cursor %1 s: values of the last row at or before it (row %2)",
      "Cursor %1 s: Werte der letzten Zeile bis zum Cursor (Zeile %2)",
      "Curseur %1 s : valeurs de la dernière ligne jusqu'au curseur (ligne %2)",
      "Kurzor %1 s: hodnoty posledního řádku do kurzoru (řádek %2)"}},
    {{"second cursor %1 s, Δt %2 s", "zweiter Cursor %1 s, Δt %2 s",
      "second curseur %1 s, Δt %2 s", "druhý kurzor %1 s, Δt %2 s"}},
    {{"Pause", "Pause", "Pause", "Pozastavit"}},
    {{"Play", "Abspielen", "Lecture", "Přehrát"}},
    {{"%1: %2 rows, %3 s", "%1: %2 Zeilen, %3 s", "%1 : %2 lignes, %3 s", "%1: %2 řádků, %3 s"}},
    {{"No log open", "Keine Aufzeichnung offen", "Aucun journal ouvert", "Žádný otevřený záznam"}},
    {{"Open ride log", "Fahrtaufzeichnung öffnen", "Ouvrir un journal de roulage",
      "Otevřít záznam jízdy"}},
    {{"The log could not be opened.", "Die Aufzeichnung konnte nicht geöffnet werden.",
      "Le journal n'a pas pu être ouvert.", "Záznam nelze otevřít."}},
    {{"Ride logs", "Fahrtaufzeichnungen", "Journaux de roulage", "Záznamy jízd"}},
    {{"%1 s", "%1 s", "%1 s", "%1 s"}},
    {{"not enough data", "zu wenig Daten", "pas assez de données", "málo dat"}},
    {{"Open a ride log first (Tools, Ctrl+L).", "Zuerst eine Aufzeichnung öffnen (Strg+L).",
      "Ouvrez d'abord un journal (Ctrl+L).", "Nejdřív otevřete záznam (Ctrl+L)."}},
    {{"%1 rows in cells, %2 left out by the filters",
      "%1 Zeilen in Zellen, %2 von den Filtern ausgelassen",
      "%1 lignes dans les cellules, %2 écartées par les filtres",
      "%1 řádků v buňkách, %2 vynecháno filtry"}},
};
static_assert(std::size(kPhrases) == static_cast<std::size_t>(LogPhrase::Count));

}  // namespace

std::span<const CaptionRow> LogViewerCaptionRows() { return kLogRows; }

std::vector<CaptionText> LogViewerCaptionTexts(int language) {
  return ExpandCaptionRows(kLogRows, language);
}

std::string LogPhraseText(LogPhrase phrase, int language) {
  const int lang = (language < 0 || language >= kLanguageCount) ? 0 : language;
  return kPhrases[static_cast<int>(phrase)].texts[lang];
}

}  // namespace rq
