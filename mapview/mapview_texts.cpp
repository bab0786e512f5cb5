// SPDX-License-Identifier: GPL-3.0-or-later
// The map view's texts, one row per text with its four languages.
#include "mapview/mapview_texts.h"

#include <array>
#include <cstddef>

#include "ui/text_table.h"

namespace rq {
namespace {

using ViewTextRow = std::array<const char*, 4>;

constexpr ViewTextRow kViewTexts[static_cast<std::size_t>(MapViewText::Count)] = {
    // Menu
    ViewTextRow{"&Map view", "&Kennfeldansicht", "&Vue de la carte", "Z&obrazení mapy"},
    ViewTextRow{"The map shown as curves or as a surface, in a window of its own",
                "Das Kennfeld als Kurven oder als Fläche, in einem eigenen Fenster",
                "La carte en courbes ou en surface, dans une fenêtre à part",
                "Mapa jako křivky nebo plocha ve vlastním okně"},
    // Title
    ViewTextRow{"Map view – %1", "Kennfeldansicht – %1", "Vue de la carte – %1", "Zobrazení mapy – %1"},
    // ModeRpm .. ModeHint
    ViewTextRow{"Curves over rpm", "Kurven über Drehzahl", "Courbes selon le régime", "Křivky podle otáček"},
    ViewTextRow{"Curves over throttle", "Kurven über Gas", "Courbes selon l'accélérateur",
                "Křivky podle plynu"},
    ViewTextRow{"Surface", "Fläche", "Surface", "Plocha"},
    ViewTextRow{"Curves against engine speed (one per throttle row), against throttle (one per rpm "
                "point), or the surface over both",
                "Kurven über der Drehzahl (eine je Gaszeile), über dem Gas (eine je Drehzahlpunkt) "
                "oder die Fläche über beidem",
                "Courbes selon le régime (une par ligne d'accélérateur), selon l'accélérateur (une "
                "par point de régime) ou la surface sur les deux",
                "Křivky podle otáček (jedna na řádek plynu), podle plynu (jedna na bod otáček) "
                "nebo plocha nad obojím"},
    // GhostOther, GhostOtherHint
    ViewTextRow{"Other map", "Anderes Kennfeld", "Autre carte", "Druhá mapa"},
    ViewTextRow{"The other advance map, dashed", "Das andere Vorzündungskennfeld, gestrichelt",
                "L'autre carte d'avance, en tirets", "Druhá mapa předstihu, čárkovaně"},
    // GhostUnit, GhostUnitHint
    ViewTextRow{"Unit", "Zündbox", "Unité", "Jednotka"},
    ViewTextRow{"The map as the unit was last read or programmed, dotted (while that is known)",
                "Das Kennfeld, wie die Zündbox zuletzt gelesen oder programmiert wurde, gepunktet "
                "(solange das bekannt ist)",
                "La carte telle que l'unité a été lue ou programmée en dernier, en pointillé (tant "
                "que c'est connu)",
                "Mapa, jak byla jednotka naposledy čtena nebo programována, tečkovaně (dokud je to "
                "známo)"},
    // MinusHint, PlusHint
    ViewTextRow{"Lower the selected cells by one step", "Die gewählten Zellen um einen Schritt senken",
                "Baisser les cellules choisies d'un pas", "Snížit vybrané buňky o jeden krok"},
    ViewTextRow{"Raise the selected cells by one step", "Die gewählten Zellen um einen Schritt anheben",
                "Monter les cellules choisies d'un pas", "Zvýšit vybrané buňky o jeden krok"},
    // Set, SetHint
    ViewTextRow{"Set", "Setzen", "Appliquer", "Nastavit"},
    ViewTextRow{"Set the selected cells to the value typed beside",
                "Die gewählten Zellen auf den daneben eingegebenen Wert setzen",
                "Mettre les cellules choisies à la valeur saisie à côté",
                "Nastavit vybrané buňky na hodnotu zadanou vedle"},
    // Smooth, SmoothHint, SmoothStrength
    ViewTextRow{"Smooth", "Glätten", "Lisser", "Vyhladit"},
    ViewTextRow{"Each cell of the selection (of the whole map when one cell is selected) toward the "
                "mean of its neighbours; one undo step",
                "Jede Zelle der Auswahl (des ganzen Kennfelds, wenn eine Zelle gewählt ist) zum "
                "Mittel ihrer Nachbarn; ein Rückgängig-Schritt",
                "Chaque cellule de la sélection (de toute la carte si une seule cellule est "
                "choisie) vers la moyenne de ses voisines ; une étape d'annulation",
                "Každou buňku výběru (celé mapy, je-li vybrána jedna buňka) k průměru sousedů; "
                "jeden krok zpět"},
    ViewTextRow{"Strength %1", "Stärke %1", "Force %1", "Síla %1"},
    // Copy, CopyHint, CopyWithRpm
    ViewTextRow{"Copy map", "Kennfeld kopieren", "Copier la carte", "Kopírovat mapu"},
    ViewTextRow{"One advance map onto the other: the selection, or the whole map when one cell is "
                "selected; one undo step",
                "Ein Vorzündungskennfeld auf das andere: die Auswahl, oder das ganze Kennfeld, "
                "wenn eine Zelle gewählt ist; ein Rückgängig-Schritt",
                "Une carte d'avance sur l'autre : la sélection, ou toute la carte si une seule "
                "cellule est choisie ; une étape d'annulation",
                "Jednu mapu předstihu na druhou: výběr, nebo celou mapu, je-li vybrána jedna "
                "buňka; jeden krok zpět"},
    ViewTextRow{"With rpm points", "Mit Drehzahlpunkten", "Avec les points de régime", "S body otáček"},
    // StandardView, StandardViewHint
    ViewTextRow{"Standard view", "Standardansicht", "Vue standard", "Výchozí pohled"},
    ViewTextRow{"Turn and zoom the surface back to where it started",
                "Die Fläche zurück in die Ausgangslage drehen und zoomen",
                "Ramener la surface à sa rotation et son zoom de départ",
                "Vrátit natočení a přiblížení plochy do výchozího stavu"},
    // Axes
    ViewTextRow{"Engine speed [rpm]", "Drehzahl [1/min]", "Régime [tr/min]", "Otáčky [ot/min]"},
    ViewTextRow{"Throttle [%]", "Gas [%]", "Accélérateur [%]", "Plyn [%]"},
    ViewTextRow{"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"},
    ViewTextRow{"Servo [mV]", "Servo [mV]", "Servo [mV]", "Servo [mV]"},
    ViewTextRow{"Servo [%]", "Servo [%]", "Servo [%]", "Servo [%]"},
    // Legend
    ViewTextRow{"Live", "Live", "En direct", "Živě"},
    ViewTextRow{"Trail", "Spur", "Traînée", "Stopa"},
    ViewTextRow{"Time in the log", "Zeit im Log", "Temps dans le journal", "Čas v záznamu"},
    ViewTextRow{"Log cursor", "Log-Cursor", "Curseur du journal", "Kurzor záznamu"},
    ViewTextRow{"Limit broken", "Grenze verletzt", "Limite dépassée", "Mez překročena"},
    // ServoOff, NoSurface
    ViewTextRow{"The servo is off: its map is not used.", "Das Servo ist aus: sein Kennfeld wird nicht benutzt.",
                "Le servo est arrêté : sa carte n'est pas utilisée.", "Servo je vypnuto: jeho mapa se nepoužívá."},
    ViewTextRow{"The surface needs an OpenGL display.", "Die Fläche braucht eine OpenGL-Anzeige.",
                "La surface demande un affichage OpenGL.", "Plocha potřebuje zobrazení OpenGL."},
    // Questions
    ViewTextRow{"Copy the whole map %1 onto %2? Every cell of %2 is overwritten.",
                "Das ganze Kennfeld %1 auf %2 kopieren? Jede Zelle von %2 wird überschrieben.",
                "Copier toute la carte %1 sur %2 ? Chaque cellule de %2 est remplacée.",
                "Kopírovat celou mapu %1 na %2? Každá buňka mapy %2 bude přepsána."},
    ViewTextRow{"Copy the selected cells of %1 onto %2? The same cells of %2 are overwritten.",
                "Die gewählten Zellen von %1 auf %2 kopieren? Dieselben Zellen von %2 werden "
                "überschrieben.",
                "Copier les cellules choisies de %1 sur %2 ? Les mêmes cellules de %2 sont "
                "remplacées.",
                "Kopírovat vybrané buňky mapy %1 na %2? Tytéž buňky mapy %2 budou přepsány."},
    ViewTextRow{" The rpm points go with them.", " Die Drehzahlpunkte gehen mit.",
                " Les points de régime suivent.", " Body otáček se zkopírují také."},
    // Notes
    ViewTextRow{"Smoothed %1 with strength %2. Cells changed: %3",
                "%1 mit Stärke %2 geglättet. Geänderte Zellen: %3",
                "Lissage de %1, force %2. Cellules modifiées : %3",
                "Vyhlazeno: %1, síla %2. Změněné buňky: %3"},
    ViewTextRow{"Copied %1 onto %2. Values changed: %3", "%1 auf %2 kopiert. Geänderte Werte: %3",
                "Copié : %1 sur %2. Valeurs modifiées : %3", "Zkopírováno: %1 na %2. Změněné hodnoty: %3"},
    ViewTextRow{" Cells held to the limits: %1", " Auf die Grenzen begrenzte Zellen: %1",
                " Cellules ramenées aux limites : %1", " Buňky omezené na limity: %1"},
    // Hints of the views
    ViewTextRow{"Drag a point up or down to change its cell; a click selects it in the grid",
                "Einen Punkt nach oben oder unten ziehen ändert seine Zelle; ein Klick wählt sie im "
                "Raster",
                "Tirer un point vers le haut ou le bas change sa cellule ; un clic la choisit dans la "
                "grille",
                "Tažením bodu nahoru nebo dolů se mění jeho buňka; kliknutí ji vybere v mřížce"},
    ViewTextRow{"Drag to turn, wheel to zoom, click to select a cell in the grid",
                "Ziehen dreht, das Rad zoomt, ein Klick wählt eine Zelle im Raster",
                "Tirer pour tourner, molette pour zoomer, clic pour choisir une cellule dans la grille",
                "Tažením otočit, kolečkem přiblížit, kliknutím vybrat buňku v mřížce"},
    // RpmUnit
    ViewTextRow{"rpm", "1/min", "tr/min", "ot/min"},
    // ModeDifference
    ViewTextRow{"Differences", "Unterschiede", "Différences", "Rozdíly"},
    // DiffMaps, DiffUnit, DiffHint
    ViewTextRow{"%1 − %2", "%1 − %2", "%1 − %2", "%1 − %2"},
    ViewTextRow{"PC − unit", "PC − Zündbox", "PC − unité", "PC − jednotka"},
    ViewTextRow{"Cell by cell: advance map 1 minus map 2, or the map shown on the PC minus the unit's "
                "as last read or programmed; as a grid and as curves over rpm",
                "Zelle für Zelle: Vorzündungskennfeld 1 minus 2, oder das gezeigte Kennfeld am PC minus "
                "dem der Zündbox, wie zuletzt gelesen oder programmiert; als Raster und als Kurven "
                "über der Drehzahl",
                "Case par case : carte d'avance 1 moins 2, ou la carte affichée sur le PC moins celle "
                "de l'unité lue ou programmée en dernier ; en grille et en courbes selon le régime",
                "Buňku po buňce: mapa předstihu 1 mínus 2, nebo zobrazená mapa v PC mínus mapa "
                "jednotky, jak byla naposledy čtena nebo programována; jako mřížka a křivky podle "
                "otáček"},
    // DiffUnknown, DiffRpmDiffer
    ViewTextRow{"The unit's content is unknown: Read or Verify first.",
                "Der Inhalt der Zündbox ist unbekannt: zuerst Lesen oder Vergleichen.",
                "Le contenu de l'unité est inconnu : lire ou vérifier d'abord.",
                "Obsah jednotky není známý: nejdřív čtení nebo verifikace."},
    ViewTextRow{"The rpm points differ: cells are compared column by column, drawn at the rpm points of %1.",
                "Die Drehzahlpunkte unterscheiden sich: verglichen wird Spalte für Spalte, gezeichnet "
                "bei den Drehzahlpunkten von %1.",
                "Les points de régime diffèrent : comparaison colonne par colonne, tracée aux points de "
                "régime de %1.",
                "Body otáček se liší: porovnává se sloupec po sloupci, kresleno v bodech otáček %1."},
    // AxisDifference
    ViewTextRow{"Difference [%1]", "Unterschied [%1]", "Différence [%1]", "Rozdíl [%1]"},
    // AskSmoothWhole
    ViewTextRow{"Only one cell is selected. Smooth the whole map %1?",
                "Nur eine Zelle ist gewählt. Das ganze Kennfeld %1 glätten?",
                "Une seule cellule est choisie. Lisser toute la carte %1 ?",
                "Je vybrána jen jedna buňka. Vyhladit celou mapu %1?"},
    // WouldBreak
    ViewTextRow{"Cells that would break %2 = %3: %1", "Zellen, die %2 = %3 verletzen würden: %1",
                "Cellules qui enfreindraient %2 = %3 : %1", "Buňky, které by porušily %2 = %3: %1"},
    // CopyAnyway, CopyHold, CopyCancel
    ViewTextRow{"Copy them anyway", "Trotzdem kopieren", "Les copier quand même", "Přesto kopírovat"},
    ViewTextRow{"Hold them at the limit", "An der Grenze halten", "Les tenir à la limite",
                "Držet je na limitu"},
    ViewTextRow{"Cancel", "Abbrechen", "Annuler", "Zrušit"},
};

}  // namespace

const char* MapViewTextOf(MapViewText id, int language) {
  const int lang = ClampLanguage(language);
  return kViewTexts[static_cast<std::size_t>(id)][static_cast<std::size_t>(lang)];
}

}  // namespace rq
