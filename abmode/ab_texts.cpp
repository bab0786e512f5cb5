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
     {"A/B mode: each cell the rides went through shows the estimate of its best advance with its "
      "interval (bold when settled), shaded orange where map 1 pulled harder, violet where map 2 "
      "did, pale without a verdict; the rides under Tools, A/B rides and evidence",
      "A/B-Modus: jede befahrene Zelle zeigt die Schätzung ihrer besten Vorzündung mit Intervall "
      "(fett, wenn gefunden), orange, wo Mappe 1 stärker zog, violett, wo Mappe 2, blass ohne "
      "Urteil; die Fahrten unter Extras, A/B-Fahrten und Belege",
      "Mode A/B : chaque cellule roulée montre l'estimation de sa meilleure avance avec son "
      "intervalle (en gras une fois trouvée), orange où la carte 1 a tiré plus fort, violet où "
      "c'est la carte 2, pâle sans verdict ; les roulages dans Outils, Roulages A/B et preuves",
      "Režim A/B: každá projetá buňka ukazuje odhad svého nejlepšího předstihu s intervalem "
      "(tučně, když je ustálený), oranžově, kde táhla silněji mapa 1, fialově, kde mapa 2, bledě "
      "bez verdiktu; jízdy v Nástroje, Jízdy A/B a důkazy"}},
    {"MenuAbTake", P::Caption, 0,
     {"Take the A/B proposal", "A/B-Vorschlag übernehmen", "Prendre la proposition A/B",
      "Převzít návrh A/B"}},
    {"MenuAbTake", P::Hint, 0,
     {"Every cell with a result takes the estimate of its best advance (asks first when cells "
      "are selected; within the limits and the max move; one undo step)",
      "Jede Zelle mit Ergebnis übernimmt die Schätzung ihrer besten Vorzündung (fragt zuerst, "
      "wenn Zellen gewählt sind; innerhalb der Grenzen und der größten Änderung; ein "
      "Rückgängig-Schritt)",
      "Chaque cellule avec un résultat prend l'estimation de sa meilleure avance (demande "
      "d'abord si des cellules sont choisies ; dans les limites et le déplacement max. ; une "
      "étape d'annulation)",
      "Každá buňka s výsledkem převezme odhad svého nejlepšího předstihu (s vybranými buňkami se "
      "nejdřív zeptá; v mezích a největším posunu; jeden krok zpět)"}},
    {"MenuAbPrepare", P::Caption, 0,
     {"Prepare the next A/B ride", "Nächste A/B-Fahrt vorbereiten",
      "Préparer le prochain roulage A/B", "Připravit další jízdu A/B"}},
    {"MenuAbPrepare", P::Hint, 0,
     {"Advance 1 and Advance 2 take the estimate minus and plus the spread (within the limits "
      "and the max move; one undo step)",
      "Vorzündung 1 und 2 erhalten die Schätzung minus und plus den Abstand (innerhalb der "
      "Grenzen und der größten Änderung; ein Rückgängig-Schritt)",
      "L'avance 1 et l'avance 2 prennent l'estimation moins et plus l'écart (dans les limites "
      "et le déplacement max. ; une étape d'annulation)",
      "Předstih 1 a 2 dostanou odhad minus a plus rozestup (v mezích a největším posunu; jeden "
      "krok zpět)"}},
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
    {"No cell has an estimate yet: nothing to take", "Noch keine Zelle hat eine Schätzung: nichts zu übernehmen",
     "Aucune cellule n'a encore d'estimation : rien à prendre",
     "Zatím žádná buňka nemá odhad: není co převzít"},
    {"The maps already hold it: no cell changes", "Die Mappen enthalten das schon: keine Zelle ändert sich",
     "Les cartes le contiennent déjà : aucune cellule ne change",
     "Mapy to už obsahují: žádná buňka se nemění"},
    {"Take the A/B proposal into %1? %2 cells change.",
     "Den A/B-Vorschlag in %1 übernehmen? %2 Zellen ändern sich.",
     "Prendre la proposition A/B dans %1 ? %2 cellules changent.",
     "Převzít návrh A/B do %1? Změní se %2 buněk."},
    {"Prepare the next ride? Advance 1 and Advance 2 take the estimate minus and plus the spread: "
     "%1 cells change.",
     "Nächste Fahrt vorbereiten? Vorzündung 1 und 2 erhalten die Schätzung minus und plus den "
     "Abstand: %1 Zellen ändern sich.",
     "Préparer le prochain roulage ? L'avance 1 et l'avance 2 prennent l'estimation moins et "
     "plus l'écart : %1 cellules changent.",
     "Připravit další jízdu? Předstih 1 a 2 dostanou odhad minus a plus rozestup: změní se %1 "
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
    {"Best advance from %1 rides: %2° (95 %: %3° to %4°)",
     "Beste Vorzündung aus %1 Fahrten: %2° (95 %: %3° bis %4°)",
     "Meilleure avance d'après %1 roulages : %2° (95 % : %3° à %4°)",
     "Nejlepší předstih z %1 jízd: %2° (95 %: %3° až %4°)"},
    {"Settled: the interval lies within 1° of the estimate",
     "Gefunden: das Intervall liegt innerhalb 1° um die Schätzung",
     "Trouvé : l'intervalle tient dans 1° autour de l'estimation",
     "Ustáleno: interval leží do 1° kolem odhadu"},
    {"No preference in the rides here: the cell keeps %1°",
     "Die Fahrten zeigen hier keine Vorliebe: die Zelle behält %1°",
     "Les roulages ne montrent ici aucune préférence : la cellule garde %1°",
     "Jízdy zde nic neupřednostňují: buňka si ponechá %1°"},
    {"Only rides made with other maps went through here: no verdict on the maps now in the "
     "configuration",
     "Hier fuhren nur Fahrten mit anderen Mappen: kein Urteil über die Mappen der Konfiguration",
     "Seuls des roulages avec d'autres cartes sont passés ici : aucun verdict sur les cartes de "
     "la configuration",
     "Tudy vedly jen jízdy s jinými mapami: žádný verdikt o mapách v konfiguraci"},
    {"old", "alt", "ancien", "staré"},
    {"A/B: reading ride %1 of %2", "A/B: Fahrt %1 von %2 wird gelesen", "A/B : lecture du roulage %1 sur %2",
     "A/B: čte se jízda %1 z %2"},
    {"A/B: working out the estimate", "A/B: Schätzung wird berechnet", "A/B : calcul de l'estimation",
     "A/B: počítá se odhad"},
    {"Cancel", "Abbrechen", "Annuler", "Zrušit"},
    {"A/B analysis cancelled: the cells show the last finished analysis; Analyse again in the A/B "
     "rides window",
     "A/B-Auswertung abgebrochen: die Zellen zeigen die letzte fertige Auswertung; neu auswerten im "
     "Fenster A/B-Fahrten",
     "Analyse A/B annulée : les cellules montrent la dernière analyse terminée ; relancez-la dans la "
     "fenêtre des roulages A/B",
     "Analýza A/B zrušena: buňky ukazují poslední dokončenou analýzu; spusťte ji znovu v okně jízd A/B"},
    {"The A/B analysis is not up to date yet: wait until it has finished",
     "Die A/B-Auswertung ist noch nicht aktuell: warten Sie, bis sie fertig ist",
     "L'analyse A/B n'est pas encore à jour : attendez qu'elle soit terminée",
     "Analýza A/B ještě není aktuální: počkejte, až doběhne"},
    {"A/B needs ride logs: open one (Ctrl+L) or add rides under Tools, A/B rides and evidence",
     "A/B braucht Fahrtaufzeichnungen: eine öffnen (Strg+L) oder Fahrten unter Extras, A/B-Fahrten "
     "und Belege hinzufügen",
     "A/B demande des journaux : ouvrez-en un (Ctrl+L) ou ajoutez des roulages dans Outils, "
     "Roulages A/B et preuves",
     "A/B potřebuje záznamy jízd: otevřete jeden (Ctrl+L) nebo přidejte jízdy v Nástroje, Jízdy A/B "
     "a důkazy"},
    {"%1 cells are selected on %2. Take the A/B proposal only into the selection (Yes: %3 cells "
     "change), into every cell with a result (No: %4 cells change), or not at all (Cancel)?",
     "Auf %2 sind %1 Zellen gewählt. Den A/B-Vorschlag nur in die Auswahl übernehmen (Ja: %3 "
     "Zellen ändern sich), in jede Zelle mit Ergebnis (Nein: %4 Zellen ändern sich) oder gar nicht "
     "(Abbrechen)?",
     "%1 cellules sont choisies sur %2. Prendre la proposition A/B seulement dans la sélection "
     "(Oui : %3 cellules changent), dans chaque cellule avec un résultat (Non : %4 cellules "
     "changent), ou pas du tout (Annuler) ?",
     "Na %2 je vybráno %1 buněk. Převzít návrh A/B jen do výběru (Ano: změní se %3 buněk), do "
     "každé buňky s výsledkem (Ne: změní se %4 buněk), nebo vůbec (Zrušit)?"},
    {"Held: %1", "Gehalten: %1", "Tenues : %1", "Drženo: %1"},
    {"%1 by the limits", "%1 durch die Grenzen", "%1 par les limites", "%1 mezemi"},
    {"%1 at most %2° from the pair of the newest ride (max move)",
     "%1 höchstens %2° vom Paar der neuesten Fahrt (größte Änderung)",
     "%1 à %2° au plus de la paire du dernier roulage (déplacement max.)",
     "%1 nejvýše %2° od páru nejnovější jízdy (největší posun)"},
    {"%1 at most %2° above the highest advance ridden (knock)",
     "%1 höchstens %2° über der höchsten gefahrenen Vorzündung (Klopfen)",
     "%1 à %2° au plus au-dessus de l'avance la plus haute roulée (cliquetis)",
     "%1 nejvýše %2° nad nejvyšším ježděným předstihem (klepání)"},
    {"%1 at %2 rpm, %3 %: %4° instead of %5° (%6)", "%1 bei %2 U/min, %3 %: %4° statt %5° (%6)",
     "%1 à %2 tr/min, %3 % : %4° au lieu de %5° (%6)", "%1 při %2 ot/min, %3 %: %4° místo %5° (%6)"},
    {"Proposal", "Vorschlag", "Proposition", "Návrh"},
    {"Next map 1", "Nächste Mappe 1", "Prochaine carte 1", "Další mapa 1"},
    {"Next map 2", "Nächste Mappe 2", "Prochaine carte 2", "Další mapa 2"},
    {"limits", "Grenzen", "limites", "meze"},
    {"max move", "größte Änderung", "déplacement max.", "největší posun"},
    {"knock", "Klopfen", "cliquetis", "klepání"},
    {"Nothing was held.", "Nichts wurde gehalten.", "Rien n'a été tenu.", "Nic nebylo drženo."},
    {"A/B rides and evidence", "A/B-Fahrten und Belege", "Roulages A/B et preuves", "Jízdy A/B a důkazy"},
    {"A/B rides and evidence...", "A/B-Fahrten und Belege...", "Roulages A/B et preuves...",
     "Jízdy A/B a důkazy..."},
    {"Ride", "Fahrt", "Roulage", "Jízda"},
    {"Date", "Datum", "Date", "Datum"},
    {"Length", "Dauer", "Durée", "Délka"},
    {"Maps used", "Gefahrene Mappen", "Cartes roulées", "Použité mapy"},
    {"Note", "Hinweis", "Remarque", "Poznámka"},
    {"Add...", "Hinzufügen...", "Ajouter...", "Přidat..."},
    {"Remove", "Entfernen", "Retirer", "Odebrat"},
    {"Analyse again", "Neu auswerten", "Analyser à nouveau", "Znovu analyzovat"},
    {"Add A/B ride logs", "A/B-Fahrtaufzeichnungen hinzufügen", "Ajouter des journaux A/B",
     "Přidat záznamy jízd A/B"},
    {"Ride logs (*.csv);;All files (*)", "Fahrtaufzeichnungen (*.csv);;Alle Dateien (*)",
     "Journaux (*.csv);;Tous les fichiers (*)", "Záznamy jízd (*.csv);;Všechny soubory (*)"},
    {"open ride log", "offene Fahrtaufzeichnung", "journal ouvert", "otevřený záznam"},
    {"not read yet", "noch nicht gelesen", "pas encore lu", "zatím nenačteno"},
    {"same ride as %1: counts once", "dieselbe Fahrt wie %1: zählt einmal",
     "même roulage que %1 : compte une fois", "stejná jízda jako %1: počítá se jednou"},
    {"%1 holds the same ride as %2: it counts once", "%1 enthält dieselbe Fahrt wie %2: sie zählt einmal",
     "%1 contient le même roulage que %2 : il compte une fois",
     "%1 obsahuje stejnou jízdu jako %2: počítá se jednou"},
    {"%1/%2°", "%1/%2°", "%1/%2°", "%1/%2°"},
    {"map 1 %1°, map 2 %2°", "Mappe 1 %1°, Mappe 2 %2°", "carte 1 %1°, carte 2 %2°",
     "mapa 1 %1°, mapa 2 %2°"},
    {"no advance logged", "keine Vorzündung aufgezeichnet", "aucune avance enregistrée",
     "předstih nezaznamenán"},
    {"Spread ±°", "Abstand ±°", "Écart ±°", "Rozestup ±°"},
    {"Max move °", "Größte Änderung °", "Déplacement max. °", "Největší posun °"},
    {"Spread: the next pair lies this many degrees either side of the estimate (1 to 6). Max move: "
     "the most a cell moves per ride, and above the highest advance ridden",
     "Abstand: das nächste Paar liegt so viele Grad beiderseits der Schätzung (1 bis 6). Größte "
     "Änderung: so weit bewegt sich eine Zelle je Fahrt höchstens, auch über die höchste gefahrene "
     "Vorzündung",
     "Écart : la prochaine paire est à autant de degrés de part et d'autre de l'estimation (1 à "
     "6). Déplacement max. : le plus qu'une cellule bouge par roulage, et au-dessus de l'avance la "
     "plus haute roulée",
     "Rozestup: další pár leží tolik stupňů na obě strany od odhadu (1 až 6). Největší posun: "
     "nejvíc, o kolik se buňka za jízdu posune, i nad nejvyšší ježděný předstih"},
    {"Cell %1 rpm, %2 %", "Zelle %1 U/min, %2 %", "Cellule %1 tr/min, %2 %", "Buňka %1 ot/min, %2 %"},
    {"Throttle row %1 %", "Drosselklappenzeile %1 %", "Ligne papillon %1 %", "Řádek plynu %1 %"},
    {"Selected cell", "Gewählte Zelle", "Cellule choisie", "Vybraná buňka"},
    {"Its throttle row", "Ihre Drosselklappenzeile", "Sa ligne de papillon", "Její řádek plynu"},
    {"rpm", "U/min", "tr/min", "ot/min"},
    {"acceleration [rpm/s]", "Beschleunigung [U/min/s]", "accélération [tr/min/s]", "zrychlení [ot/min/s]"},
    {"gear %1", "Gang %1", "rapport %1", "stupeň %1"},
    {"map %1", "Mappe %1", "carte %1", "mapa %1"},
    {"No counted rows of the rides here", "Hier keine gezählten Zeilen der Fahrten",
     "Aucune ligne comptée des roulages ici", "Zde žádné započtené řádky jízd"},
    {"Held in the last Take or Prepare", "Gehalten beim letzten Übernehmen oder Vorbereiten",
     "Tenu lors de la dernière prise ou préparation", "Drženo při posledním převzetí nebo přípravě"},
    {"A/B: %1 of %2 cells ready", "A/B: %1 von %2 Zellen bereit", "A/B : %1 cellules prêtes sur %2",
     "A/B: připraveno %1 z %2 buněk"},
    {"Cells of the page ridden so far that already have enough rows and passes of both maps for a "
     "verdict",
     "Bisher gefahrene Zellen der Seite, die schon genug Zeilen und Durchgänge beider Mappen für "
     "ein Urteil haben",
     "Cellules de la page roulées jusqu'ici qui ont déjà assez de lignes et de passages des deux "
     "cartes pour un verdict",
     "Dosud projeté buňky stránky, které už mají dost řádků a průjezdů obou map pro verdikt"},
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
