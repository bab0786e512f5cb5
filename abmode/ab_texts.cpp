// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the A/B mode.
#include "abmode/ab_texts.h"

#include <array>

#include "ui/text_table.h"

namespace rq::abmode {

namespace {

using P = CaptionProperty;

const CaptionRow kRows[] = {
    {"CheckBoxAbMode", P::Caption, 0, {"A/B", "A/B", "A/B", "A/B"}},
    {"CheckBoxAbMode", P::Hint, 0,
     {"A/B mode: with the ride log open, each cell with rows of both advance maps shows how much "
      "harder map 2 pulled than map 1, shaded orange where map 1 won, violet where map 2 won, "
      "pale without a verdict",
      "A/B-Modus: bei offener Fahrtaufzeichnung zeigt jede Zelle mit Zeilen beider "
      "Vorzündungsmappen, wie viel stärker Mappe 2 als Mappe 1 zog; orange, wo Mappe 1 gewann, "
      "violett, wo Mappe 2 gewann, blass ohne Urteil",
      "Mode A/B : avec le journal ouvert, chaque cellule ayant des lignes des deux cartes "
      "d'avance montre de combien la carte 2 a tiré plus fort que la carte 1 ; orange où la "
      "carte 1 l'emporte, violet où la carte 2 l'emporte, pâle sans verdict",
      "Režim A/B: s otevřeným záznamem jízdy ukazuje každá buňka s řádky obou map předstihu, o "
      "kolik silněji táhla mapa 2 než mapa 1; oranžově, kde vyhrála mapa 1, fialově, kde "
      "vyhrála mapa 2, bledě bez verdiktu"}},
    {"MenuAbTake", P::Caption, 0,
     {"Take the A/B proposal", "A/B-Vorschlag übernehmen", "Prendre la proposition A/B",
      "Převzít návrh A/B"}},
    {"MenuAbTake", P::Hint, 0,
     {"The selected cells, or every cell with a verdict, take the advance of the map that pulled "
      "harder (within the limits; one undo step)",
      "Die gewählten Zellen, oder jede Zelle mit Urteil, übernehmen die Vorzündung der Mappe, "
      "die stärker zog (innerhalb der Grenzen; ein Rückgängig-Schritt)",
      "Les cellules choisies, ou chaque cellule avec verdict, prennent l'avance de la carte qui "
      "a tiré le plus fort (dans les limites ; une étape d'annulation)",
      "Vybrané buňky, nebo každá buňka s verdiktem, převezmou předstih mapy, která táhla "
      "silněji (v mezích; jeden krok zpět)"}},
    {"MenuAbPrepare", P::Caption, 0,
     {"Prepare the next A/B ride", "Nächste A/B-Fahrt vorbereiten",
      "Préparer le prochain roulage A/B", "Připravit další jízdu A/B"}},
    {"MenuAbPrepare", P::Hint, 0,
     {"Advance 1 takes the proposal and Advance 2 the proposal moved on by 2 degrees away from "
      "the loser (within the limits; one undo step)",
      "Vorzündung 1 erhält den Vorschlag und Vorzündung 2 den Vorschlag, um 2 Grad weiter vom "
      "Verlierer weg (innerhalb der Grenzen; ein Rückgängig-Schritt)",
      "L'avance 1 prend la proposition et l'avance 2 la proposition décalée de 2 degrés loin du "
      "perdant (dans les limites ; une étape d'annulation)",
      "Předstih 1 dostane návrh a předstih 2 návrh posunutý o 2 stupně dál od poraženého (v "
      "mezích; jeden krok zpět)"}},
};

using Texts = std::array<const char*, 4>;

constexpr Texts kTexts[] = {
    {"A/B needs an open ride log with the gear and second_map columns: %1",
     "A/B braucht eine offene Fahrtaufzeichnung mit den Spalten gear und second_map: %1",
     "A/B demande un journal ouvert avec les colonnes gear et second_map : %1",
     "A/B potřebuje otevřený záznam jízdy se sloupci gear a second_map: %1"},
    {"The A/B mode compares the advance maps: it is shown on Advance 1 and Advance 2",
     "Der A/B-Modus vergleicht die Vorzündungsmappen: er steht auf Vorzündung 1 und 2",
     "Le mode A/B compare les cartes d'avance : il est sur Avance 1 et Avance 2",
     "Režim A/B porovnává mapy předstihu: je na stránkách Předstih 1 a 2"},
    {"Map %1: %2 rows in %3 passes compared (%4 counted); advance %5°",
     "Mappe %1: %2 Zeilen in %3 Durchgängen verglichen (%4 gezählt); Vorzündung %5°",
     "Carte %1 : %2 lignes en %3 passages comparées (%4 comptées) ; avance %5°",
     "Mapa %1: porovnáno %2 řádků ve %3 průjezdech (%4 započteno); předstih %5°"},
    {"Map 2 against map 1: %1 % (95 %: %2 to %3 %)", "Mappe 2 gegen Mappe 1: %1 % (95 %: %2 bis %3 %)",
     "Carte 2 contre carte 1 : %1 % (95 % : %2 à %3 %)", "Mapa 2 proti mapě 1: %1 % (95 %: %2 až %3 %)"},
    {"Map 2 against map 1: %1 % (no interval: too few rows or passes)",
     "Mappe 2 gegen Mappe 1: %1 % (kein Intervall: zu wenig Zeilen oder Durchgänge)",
     "Carte 2 contre carte 1 : %1 % (pas d'intervalle : trop peu de lignes ou de passages)",
     "Mapa 2 proti mapě 1: %1 % (bez intervalu: málo řádků nebo průjezdů)"},
    {"The maps were never ridden in one gear and time window here: nothing compared",
     "Die Mappen wurden hier nie im selben Gang und Zeitfenster gefahren: nichts verglichen",
     "Les cartes n'ont jamais roulé ici dans un même rapport et une même fenêtre : rien comparé",
     "Mapy zde nikdy nejely ve stejném stupni a časovém okně: nic neporovnáno"},
    {"Map %1 pulled harder: the proposal is %2°", "Mappe %1 zog stärker: Vorschlag %2°",
     "La carte %1 a tiré plus fort : proposition %2°", "Mapa %1 táhla silněji: návrh %2°"},
    {"No verdict: at least %1 rows in %2 passes of each map, and an interval beside 0",
     "Kein Urteil: mindestens %1 Zeilen in %2 Durchgängen jeder Mappe und ein Intervall neben 0",
     "Pas de verdict : au moins %1 lignes en %2 passages de chaque carte, et un intervalle hors de 0",
     "Bez verdiktu: nejméně %1 řádků ve %2 průjezdech každé mapy a interval mimo 0"},
    {"open", "offen", "ouvert", "otevřeno"},
    {"No cell has a verdict yet: nothing to take", "Noch keine Zelle hat ein Urteil: nichts zu übernehmen",
     "Aucune cellule n'a encore de verdict : rien à prendre",
     "Zatím žádná buňka nemá verdikt: není co převzít"},
    {"The maps already hold it: no cell changes", "Die Mappen enthalten das schon: keine Zelle ändert sich",
     "Les cartes le contiennent déjà : aucune cellule ne change",
     "Mapy to už obsahují: žádná buňka se nemění"},
    {"Take the A/B proposal into %1? %2 cells change.",
     "Den A/B-Vorschlag in %1 übernehmen? %2 Zellen ändern sich.",
     "Prendre la proposition A/B dans %1 ? %2 cellules changent.",
     "Převzít návrh A/B do %1? Změní se %2 buněk."},
    {"Prepare the next ride? Advance 1 takes the proposal and Advance 2 the next map 2: %1 cells "
     "change.",
     "Nächste Fahrt vorbereiten? Vorzündung 1 erhält den Vorschlag, Vorzündung 2 die nächste "
     "Mappe 2: %1 Zellen ändern sich.",
     "Préparer le prochain roulage ? L'avance 1 prend la proposition et l'avance 2 la prochaine "
     "carte 2 : %1 cellules changent.",
     "Připravit další jízdu? Předstih 1 dostane návrh a předstih 2 další mapu 2: změní se %1 "
     "buněk."},
    {"Proposal taken into %1: %2 cells changed, %3 held within the limits",
     "Vorschlag in %1 übernommen: %2 Zellen geändert, %3 in den Grenzen gehalten",
     "Proposition prise dans %1 : %2 cellules changées, %3 tenues dans les limites",
     "Návrh převzat do %1: změněno %2 buněk, %3 drženo v mezích"},
    {"Next ride prepared: %1 cells changed, %2 held within the limits",
     "Nächste Fahrt vorbereitet: %1 Zellen geändert, %2 in den Grenzen gehalten",
     "Prochain roulage préparé : %1 cellules changées, %2 tenues dans les limites",
     "Další jízda připravena: změněno %1 buněk, %2 drženo v mezích"},
    {"Advance 1 and Advance 2 have different rpm points: give them the same points first",
     "Vorzündung 1 und 2 haben verschiedene Drehzahlpunkte: zuerst gleich setzen",
     "Avance 1 et Avance 2 ont des points de régime différents : égalisez-les d'abord",
     "Předstih 1 a 2 mají různé body otáček: nejprve je srovnejte"},
    {"A/B: %1 cells with a verdict, %2 for map 1, %3 for map 2",
     "A/B: %1 Zellen mit Urteil, %2 für Mappe 1, %3 für Mappe 2",
     "A/B : %1 cellules avec verdict, %2 pour la carte 1, %3 pour la carte 2",
     "A/B: %1 buněk s verdiktem, %2 pro mapu 1, %3 pro mapu 2"},
};
static_assert(std::size(kTexts) == std::size_t(AbText::Count));

}  // namespace

std::span<const CaptionRow> AbCaptionRows() { return kRows; }

std::vector<CaptionText> AbCaptionTexts(int language) { return ExpandCaptionRows(kRows, language); }

std::string AbTextOf(AbText id, int language) {
  const auto lang = static_cast<std::size_t>(ClampLanguage(language));
  return kTexts[std::size_t(id)][lang];
}

}  // namespace rq::abmode
