// SPDX-License-Identifier: GPL-3.0-or-later
// The guard rails' texts in four languages.
#include "guard/guard_texts.h"

#include <array>

#include "ui/text_table.h"

namespace rq {
namespace {

using GuardRow = std::array<const char*, kLanguageCount>;

// By GuardText, then language.
constexpr GuardRow kGuardTexts[GtTextCount] = {
    {"&Limits...", "&Grenzen...", "&Limites...", "&Limity..."},
    {"Show changes before programming", "Änderungen vor dem Programmieren zeigen",
     "Montrer les changements avant de programmer", "Ukázat změny před programováním"},
    {"Map limits", "Kennfeld-Grenzen", "Limites des cartographies", "Limity map"},
    {"Lowest value", "Kleinster Wert", "Valeur minimale", "Nejnižší hodnota"},
    {"Highest value", "Größter Wert", "Valeur maximale", "Nejvyšší hodnota"},
    {"Largest step", "Größter Sprung", "Écart maximal", "Největší skok"},
    {"Largest change against unit", "Größte Änderung zur Zündbox",
     "Changement maximal / unité", "Největší změna proti jednotce"},
    {"degrees", "Grad", "degrés", "stupně"},
    {"mV", "mV", "mV", "mV"},
    {"An empty field is no limit. The step is the difference to the neighbouring cell on the "
     "right and below. The change against the unit is checked while its content is known (after "
     "a Read, Verify or Program); a change that brings a cell closer to its limits is always "
     "allowed. The limits hold up to the rpm given (empty: up to the last rpm point whose cells "
     "are not all 0, the rev limiter's cut); exempt cells, written row:column (row 0 is 0 % "
     "throttle, column 0 the first rpm point), are not checked; the map's context menu sets them "
     "too. Servo values are millivolts; a value ending in % is taken at 50 mV per percent. Limits "
     "never change a cell: broken ones are marked, programming after change waits, and Program "
     "asks first.",
     "Ein leeres Feld ist keine Grenze. Der Sprung ist der Unterschied zur Nachbarzelle rechts "
     "und darunter. Die Änderung zur Zündbox wird geprüft, solange ihr Inhalt bekannt ist (nach "
     "Lesen, Vergleichen oder Programmieren); eine Änderung, die eine Zelle näher an ihre Grenzen "
     "bringt, ist immer erlaubt. Die Grenzen gelten bis zur angegebenen Drehzahl (leer: bis zum "
     "letzten Drehzahlpunkt, dessen Zellen nicht alle 0 sind, dem Schnitt des Begrenzers); "
     "ausgenommene Zellen, geschrieben Zeile:Spalte (Zeile 0 ist 0 % Gas, Spalte 0 der erste "
     "Drehzahlpunkt), werden nicht geprüft; das Kontextmenü des Kennfelds setzt sie auch. "
     "Servowerte sind Millivolt; ein Wert mit % zählt 50 mV je Prozent. Grenzen ändern keine "
     "Zelle: verletzte werden markiert, das Programmieren nach Änderung wartet, und "
     "Programmieren fragt zuerst.",
     "Un champ vide est sans limite. L'écart est la différence avec la case voisine à droite et "
     "en dessous. Le changement par rapport à l'unité est contrôlé tant que son contenu est connu "
     "(après lecture, vérification ou programmation) ; un changement qui rapproche une case de "
     "ses limites est toujours permis. Les limites valent jusqu'au régime indiqué (vide : "
     "jusqu'au dernier point de régime dont les cases ne sont pas toutes à 0, la coupure du "
     "limiteur) ; les cases exemptées, écrites ligne:colonne (ligne 0 = 0 % de gaz, colonne 0 = "
     "premier point de régime), ne sont pas contrôlées ; le menu contextuel de la carte les règle "
     "aussi. Les valeurs du servo sont en millivolts ; une valeur finissant par % compte 50 mV "
     "par pour cent. Les limites ne modifient aucune case : celles dépassées sont marquées, la "
     "programmation après changement attend, et Programmer demande d'abord.",
     "Prázdné pole znamená bez limitu. Skok je rozdíl k sousední buňce vpravo a pod ní. Změna "
     "proti jednotce se kontroluje, dokud je její obsah známý (po čtení, verifikaci nebo "
     "programování); změna, která buňku přiblíží k jejím limitům, je vždy dovolena. Limity platí "
     "do zadaných otáček (prázdné: do posledního bodu otáček, jehož buňky nejsou všechny 0, "
     "tedy k řezu omezovače); vyjmuté buňky, psané řádek:sloupec (řádek 0 je 0 % plynu, sloupec "
     "0 první bod otáček), se nekontrolují; nastavuje je i kontextová nabídka mapy. Hodnoty serva "
     "jsou v milivoltech; hodnota končící % se počítá 50 mV za procento. Limity nemění žádnou "
     "buňku: překročené se označí, programování po změně počká a Programování se nejdřív zeptá."},
    {"These limits cannot be taken:\n%1", "Diese Grenzen können nicht übernommen werden:\n%1",
     "Ces limites ne peuvent pas être prises :\n%1", "Tyto limity nelze převzít:\n%1"},
    {"OK", "OK", "OK", "OK"},
    {"Cancel", "Abbrechen", "Annuler", "Zrušit"},
    {"The map limits of the settings file have problems:\n%1",
     "Die Kennfeld-Grenzen der Einstellungsdatei haben Fehler:\n%1",
     "Les limites des cartographies du fichier de réglages ont des problèmes :\n%1",
     "Limity map v souboru nastavení mají chyby:\n%1"},
    {"%1 on %2", "%1 auf %2", "%1 sur %2", "%1 na stránce %2"},
    {"Limits broken: %1", "Grenzen verletzt: %1", "Limites dépassées : %1",
     "Překročené limity: %1"},
    {"All map cells are within the limits", "Alle Kennfeldzellen liegen in den Grenzen",
     "Toutes les cases des cartographies respectent les limites",
     "Všechny buňky map jsou v limitech"},
    {"Programming after change held, limits broken: %1. The next change within the limits "
     "programs the unit.",
     "Programmieren nach Änderung angehalten, Grenzen verletzt: %1. Die nächste Änderung "
     "innerhalb der Grenzen programmiert die Zündbox.",
     "Programmation après changement suspendue, limites dépassées : %1. Le prochain changement "
     "dans les limites programme l'unité.",
     "Programování po změně pozastaveno, překročené limity: %1. Příští změna v limitech "
     "jednotku naprogramuje."},
    {"Limits broken: %1, the worst first:\n%2", "Grenzen verletzt: %1, die schlimmste zuerst:\n%2",
     "Limites dépassées : %1, la pire d'abord :\n%2", "Překročené limity: %1, nejhorší první:\n%2"},
    {"... and %1 more", "... und %1 weitere", "... et %1 de plus", "... a dalších %1"},
    {"Changes before programming", "Änderungen vor dem Programmieren",
     "Changements avant la programmation", "Změny před programováním"},
    {"Values the programming changes in the unit: %1",
     "Werte, die das Programmieren in der Zündbox ändert: %1",
     "Valeurs que la programmation change dans l'unité : %1",
     "Hodnoty, které programování v jednotce změní: %1"},
    {"The unit already holds this configuration: programming changes nothing.",
     "Die Zündbox enthält diese Konfiguration bereits: Programmieren ändert nichts.",
     "L'unité contient déjà cette configuration : la programmation ne change rien.",
     "Jednotka už tuto konfiguraci obsahuje: programování nic nezmění."},
    {"The unit's content is unknown (not read since the start, or the last programming did not "
     "end equal), so what programming changes cannot be listed. Read or Verify first to see it.",
     "Der Inhalt der Zündbox ist unbekannt (seit dem Start nicht gelesen, oder das letzte "
     "Programmieren endete nicht gleich); was das Programmieren ändert, lässt sich nicht "
     "auflisten. Zuerst Lesen oder Vergleichen zeigt es.",
     "Le contenu de l'unité est inconnu (non lue depuis le démarrage, ou la dernière "
     "programmation ne s'est pas terminée à l'identique) : ce que la programmation change ne "
     "peut pas être listé. Lire ou Vérifier d'abord permet de le voir.",
     "Obsah jednotky není známý (od startu nebyla čtena, nebo poslední programování neskončilo "
     "shodou), takže nelze vypsat, co programování změní. Nejdřív čtení nebo verifikace to "
     "ukáže."},
    {"Unit now", "Zündbox jetzt", "Unité maintenant", "Jednotka nyní"},
    {"After programming", "Nach dem Programmieren", "Après programmation", "Po programování"},
    {"&Program", "&Programmieren", "&Programmer", "&Programovat"},
    {"Up to rpm", "Bis Drehzahl", "Jusqu'au régime", "Do otáček"},
    {"Exempt cells", "Ausgenommene Zellen", "Cases exemptées", "Vyjmuté buňky"},
    {"auto: %1", "auto: %1", "auto : %1", "auto: %1"},
    {"auto: all", "auto: alle", "auto : toutes", "auto: vše"},
    {"&Suggest from the maps", "Aus den Kennfeldern &vorschlagen", "&Proposer d'après les cartes",
     "&Navrhnout z map"},
    {"Fills in the lowest and highest value and the largest step of each map as it is now, up to "
     "its rpm and without its exempt cells: with them, the maps as they are raise no alarm.",
     "Setzt kleinsten und größten Wert und größten Sprung jedes Kennfelds, wie es jetzt ist, bis "
     "zu seiner Drehzahl und ohne seine ausgenommenen Zellen: damit melden die Kennfelder, wie "
     "sie sind, nichts.",
     "Remplit la valeur minimale, la valeur maximale et l'écart maximal de chaque carte telle "
     "qu'elle est, jusqu'à son régime et sans ses cases exemptées : ainsi les cartes telles "
     "qu'elles sont ne déclenchent aucune alarme.",
     "Vyplní nejnižší a nejvyšší hodnotu a největší skok každé mapy, jak je teď, do jejích "
     "otáček a bez vyjmutých buněk: mapy, jak jsou, pak nic nehlásí."},
    {"These limits of the settings file cannot be read, so they are not checked (Tools › "
     "Limits... mends them):\n%1",
     "Diese Grenzen der Einstellungsdatei sind nicht lesbar und werden daher nicht geprüft "
     "(Werkzeuge › Grenzen... behebt das):\n%1",
     "Ces limites du fichier de réglages sont illisibles et ne sont donc pas contrôlées "
     "(Outillage › Limites... les corrige) :\n%1",
     "Tyto limity v souboru nastavení nelze přečíst, a proto se nekontrolují (Pomůcky › "
     "Limity... je opraví):\n%1"},
    {"Program the unit anyway?", "Zündbox trotzdem programmieren?",
     "Programmer l'unité quand même ?", "Přesto jednotku naprogramovat?"},
    {"Programming after change held: limits of the settings file cannot be read (Tools › "
     "Limits... mends them).",
     "Programmieren nach Änderung angehalten: Grenzen der Einstellungsdatei sind nicht lesbar "
     "(Werkzeuge › Grenzen... behebt das).",
     "Programmation après changement suspendue : des limites du fichier de réglages sont "
     "illisibles (Outillage › Limites... les corrige).",
     "Programování po změně pozastaveno: limity v souboru nastavení nelze přečíst (Pomůcky › "
     "Limity... je opraví)."},
    {"A value that cannot be read is no limit until it is mended in Tools › Limits...; until "
     "then programming after change waits and Program asks first.",
     "Ein nicht lesbarer Wert ist keine Grenze, bis er in Werkzeuge › Grenzen... behoben ist; "
     "bis dahin wartet das Programmieren nach Änderung, und Programmieren fragt zuerst.",
     "Une valeur illisible n'est pas une limite tant qu'elle n'est pas corrigée dans Outillage › "
     "Limites... ; d'ici là la programmation après changement attend et Programmer demande "
     "d'abord.",
     "Hodnota, kterou nelze přečíst, není limit, dokud se neopraví v Pomůcky › Limity...; do "
     "té doby programování po změně počká a Programování se nejdřív zeptá."},
    {"Exempt from the limits", "Von den Grenzen ausnehmen", "Exempter des limites",
     "Vyjmout z limitů"},
    {"The selected cells are not checked against the limits (or are checked again); kept with "
     "the limits",
     "Die gewählten Zellen werden nicht gegen die Grenzen geprüft (oder wieder geprüft); bei den "
     "Grenzen gespeichert",
     "Les cases choisies ne sont pas contrôlées par les limites (ou le sont de nouveau) ; "
     "gardé avec les limites",
     "Vybrané buňky se nekontrolují proti limitům (nebo opět kontrolují); uloženo s limity"},
    {"%1: cells exempt from the limits: %2", "%1: von den Grenzen ausgenommene Zellen: %2",
     "%1 : cases exemptées des limites : %2", "%1: buňky vyjmuté z limitů: %2"},
    {"%1: cells checked against the limits again: %2",
     "%1: wieder gegen die Grenzen geprüfte Zellen: %2",
     "%1 : cases de nouveau contrôlées par les limites : %2",
     "%1: buňky znovu kontrolované proti limitům: %2"},
};

}  // namespace

const char* GuardTextOf(GuardText id, int language) {
  if (id < 0 || id >= GtTextCount) return "";
  return kGuardTexts[id][static_cast<std::size_t>(ClampLanguage(language))];
}

}  // namespace rq
