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
     "a Read, Verify or Program). Servo values are millivolts; a value ending in % is taken at "
     "50 mV per percent. Limits never change a cell: broken ones are marked, programming after "
     "change waits, and Program asks first.",
     "Ein leeres Feld ist keine Grenze. Der Sprung ist der Unterschied zur Nachbarzelle rechts "
     "und darunter. Die Änderung zur Zündbox wird geprüft, solange ihr Inhalt bekannt ist (nach "
     "Lesen, Vergleichen oder Programmieren). Servowerte sind Millivolt; ein Wert mit % zählt "
     "50 mV je Prozent. Grenzen ändern keine Zelle: verletzte werden markiert, das Programmieren "
     "nach Änderung wartet, und Programmieren fragt zuerst.",
     "Un champ vide est sans limite. L'écart est la différence avec la case voisine à droite et "
     "en dessous. Le changement par rapport à l'unité est contrôlé tant que son contenu est connu "
     "(après lecture, vérification ou programmation). Les valeurs du servo sont en millivolts ; "
     "une valeur finissant par % compte 50 mV par pour cent. Les limites ne modifient aucune "
     "case : celles dépassées sont marquées, la programmation après changement attend, et "
     "Programmer demande d'abord.",
     "Prázdné pole znamená bez limitu. Skok je rozdíl k sousední buňce vpravo a pod ní. Změna "
     "proti jednotce se kontroluje, dokud je její obsah známý (po čtení, verifikaci nebo "
     "programování). Hodnoty serva jsou v milivoltech; hodnota končící % se počítá 50 mV za "
     "procento. Limity nemění žádnou buňku: překročené se označí, programování po změně počká a "
     "Programování se nejdřív zeptá."},
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
    {"Limits broken: %1\n\n%2\n\nProgram the unit anyway?",
     "Grenzen verletzt: %1\n\n%2\n\nZündbox trotzdem programmieren?",
     "Limites dépassées : %1\n\n%2\n\nProgrammer l'unité quand même ?",
     "Překročené limity: %1\n\n%2\n\nPřesto jednotku naprogramovat?"},
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
};

}  // namespace

const char* GuardTextOf(GuardText id, int language) {
  if (id < 0 || id >= GtTextCount) return "";
  return kGuardTexts[id][static_cast<std::size_t>(ClampLanguage(language))];
}

}  // namespace rq
