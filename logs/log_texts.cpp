// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the log's cell figures, Find, reading on a worker and the acceleration by map.
#include "logs/log_texts.h"

#include <array>

#include "protocol/channel_table.h"
#include "ui/text_table.h"

namespace rq::logs {

namespace {

using P = CaptionProperty;

const CaptionRow kRows[] = {
    {"LogLabelFind", P::Caption, 0, {"Find", "Suchen", "Chercher", "Hledat"}},
    {"LogEditFind", P::Hint, 0,
     {"A condition on the channels, e.g. gear = 4 and throttle > 85 %: names are channel keys, "
      "channel names or column headers; operators = != < <= > >=; terms joined by and. Enter "
      "finds the next row that meets it.",
      "Eine Bedingung an die Kanäle, z. B. Gang = 4 und Drosselklappe > 85 %: Namen sind "
      "Kanalschlüssel, Kanalnamen oder Spaltenköpfe; Operatoren = != < <= > >=; Teile mit und "
      "verbunden. Enter sucht die nächste passende Zeile.",
      "Une condition sur les canaux, p. ex. rapport = 4 et papillon des gaz > 85 % : les noms "
      "sont des clés, des noms de canaux ou des en-têtes de colonnes ; opérateurs = != < <= > "
      ">= ; termes joints par et. Entrée cherche la ligne suivante qui la remplit.",
      "Podmínka na kanály, např. gear = 4 a plyn > 85 %: jména jsou klíče kanálů, názvy kanálů "
      "nebo záhlaví sloupců; operátory = != < <= > >=; části spojené a. Enter najde další "
      "řádek, který ji splňuje."}},
    {"LogButtonFindNext", P::Caption, 0, {"Next", "Weiter", "Suivant", "Další"}},
    {"LogButtonFindNext", P::Hint, 0,
     {"The cursor to the next row that meets the condition (Enter, F3)",
      "Cursor auf die nächste Zeile, die die Bedingung erfüllt (Enter, F3)",
      "Le curseur sur la ligne suivante qui remplit la condition (Entrée, F3)",
      "Kurzor na další řádek splňující podmínku (Enter, F3)"}},
    {"LogButtonFindPrevious", P::Caption, 0, {"Previous", "Zurück", "Précédent", "Předchozí"}},
    {"LogButtonFindPrevious", P::Hint, 0,
     {"The cursor to the previous row that meets the condition (Shift+F3)",
      "Cursor auf die vorige Zeile, die die Bedingung erfüllt (Umschalt+F3)",
      "Le curseur sur la ligne précédente qui remplit la condition (Maj+F3)",
      "Kurzor na předchozí řádek splňující podmínku (Shift+F3)"}},
    {"LogButtonCancelLoad", P::Caption, 0, {"Cancel", "Abbrechen", "Annuler", "Zrušit"}},
    {"LogButtonCancelLoad", P::Hint, 0,
     {"Stop reading the log; the log open before stays",
      "Das Lesen abbrechen; die bisher offene Aufzeichnung bleibt",
      "Arrêter la lecture ; le journal ouvert avant reste",
      "Zastavit čtení; dosud otevřený záznam zůstane"}},
    {"LogCheckMapColours", P::Caption, 0,
     {"Acceleration by map", "Beschleunigung nach Mappe", "Accélération par carte",
      "Zrychlení podle mapy"}},
    {"LogCheckMapColours", P::Hint, 0,
     {"Draw the acceleration in one colour while advance map 1 is in use and in another while "
      "map 2 is (second_map)",
      "Die Beschleunigung in einer Farbe zeichnen, solange Mappe 1 benutzt wird, und in einer "
      "anderen bei Mappe 2 (second_map)",
      "Tracer l'accélération d'une couleur avec la carte 1 et d'une autre avec la carte 2 "
      "(second_map)",
      "Kreslit zrychlení jednou barvou při mapě 1 a jinou při mapě 2 (second_map)"}},
};

using Texts = std::array<const char*, 4>;

constexpr Texts kTexts[] = {
    {"Time", "Zeit", "Temps", "Čas"},
    {"Time spent in the cell", "Zeit in der Zelle", "Temps passé dans la cellule",
     "Čas strávený v buňce"},
    {"Mean", "Mittel", "Moy.", "Průměr"},
    {"Min", "Min", "Min", "Min"},
    {"Max", "Max", "Max", "Max"},
    {"Mean of a channel", "Mittelwert eines Kanals", "Moyenne d'un canal", "Průměr kanálu"},
    {"Minimum of a channel", "Minimum eines Kanals", "Minimum d'un canal", "Minimum kanálu"},
    {"Maximum of a channel", "Maximum eines Kanals", "Maximum d'un canal", "Maximum kanálu"},
    {"Channel", "Kanal", "Canal", "Kanál"},
    {"%1: %2", "%1: %2", "%1 : %2", "%1: %2"},
    {"What each cell's badge shows: the time the log spent there, or the mean, minimum or "
     "maximum of a channel over the rows in the cell",
     "Was das Schild jeder Zelle zeigt: die Zeit der Aufzeichnung dort, oder Mittel, Minimum "
     "oder Maximum eines Kanals über die Zeilen der Zelle",
     "Ce que montre l'étiquette de chaque cellule : le temps passé, ou la moyenne, le minimum "
     "ou le maximum d'un canal sur les lignes de la cellule",
     "Co ukazuje štítek každé buňky: čas strávený v ní, nebo průměr, minimum či maximum kanálu "
     "přes řádky v buňce"},
    {"%1 rpm, %2 % throttle", "%1 U/min, %2 % Gas", "%1 tr/min, %2 % de gaz", "%1 ot/min, %2 % plynu"},
    {"%1 rows, %2 s", "%1 Zeilen, %2 s", "%1 lignes, %2 s", "%1 řádků, %2 s"},
    {"not enough data: fewer than %1 rows", "zu wenig Daten: weniger als %1 Zeilen",
     "pas assez de données : moins de %1 lignes", "málo dat: méně než %1 řádků"},
    {"%1: mean %2, minimum %3, maximum %4", "%1: Mittel %2, Minimum %3, Maximum %4",
     "%1 : moyenne %2, minimum %3, maximum %4", "%1: průměr %2, minimum %3, maximum %4"},
    {"A click moves the log viewer's cursor to the next row in this cell.",
     "Ein Klick setzt den Cursor des Betrachters auf die nächste Zeile dieser Zelle.",
     "Un clic place le curseur du visualiseur sur la ligne suivante de cette cellule.",
     "Klik posune kurzor prohlížeče na další řádek v této buňce."},
    {"%1 rows in %2 stretches meet it", "%1 Zeilen in %2 Abschnitten erfüllen sie",
     "%1 lignes en %2 tronçons la remplissent", "splňuje ji %1 řádků v %2 úsecích"},
    {"No row meets it", "Keine Zeile erfüllt sie", "Aucune ligne ne la remplit",
     "Žádný řádek ji nesplňuje"},
    {"searched round from the other end", "vom anderen Ende her weitergesucht",
     "recherche reprise depuis l'autre bout", "hledáno znovu od druhého konce"},
    {"Row %1 meets it", "Zeile %1 erfüllt sie", "La ligne %1 la remplit", "Řádek %1 ji splňuje"},
    {"Write a condition, e.g. gear = 4 and throttle > 85 %",
     "Eine Bedingung schreiben, z. B. Gang = 4 und Drosselklappe > 85 %",
     "Écrivez une condition, p. ex. rapport = 4 et papillon des gaz > 85 %",
     "Napište podmínku, např. gear = 4 a plyn > 85 %"},
    {"A name is missing before \"%1\" (character %2)", "Vor \"%1\" fehlt ein Name (Zeichen %2)",
     "Il manque un nom avant « %1 » (caractère %2)", "Před \"%1\" chybí jméno (znak %2)"},
    {"\"%1\" needs an operator (= != < <= > >=) and a number (character %2)",
     "\"%1\" braucht einen Operator (= != < <= > >=) und eine Zahl (Zeichen %2)",
     "« %1 » demande un opérateur (= != < <= > >=) et un nombre (caractère %2)",
     "\"%1\" potřebuje operátor (= != < <= > >=) a číslo (znak %2)"},
    {"\"%1\" is no column of this log and no channel (character %2)",
     "\"%1\" ist keine Spalte dieser Aufzeichnung und kein Kanal (Zeichen %2)",
     "« %1 » n'est ni une colonne de ce journal ni un canal (caractère %2)",
     "\"%1\" není sloupec tohoto záznamu ani kanál (znak %2)"},
    {"This log has no column for \"%1\" (character %2)",
     "Diese Aufzeichnung hat keine Spalte für \"%1\" (Zeichen %2)",
     "Ce journal n'a pas de colonne pour « %1 » (caractère %2)",
     "Tento záznam nemá sloupec pro \"%1\" (znak %2)"},
    {"A number is wanted instead of \"%1\" (character %2)",
     "Statt \"%1\" wird eine Zahl erwartet (Zeichen %2)",
     "Un nombre est attendu au lieu de « %1 » (caractère %2)",
     "Místo \"%1\" se čeká číslo (znak %2)"},
    {"\"%1\" is not the channel's unit, %3 (character %2)",
     "\"%1\" ist nicht die Einheit des Kanals, %3 (Zeichen %2)",
     "« %1 » n'est pas l'unité du canal, %3 (caractère %2)",
     "\"%1\" není jednotka kanálu, %3 (znak %2)"},
    {"\"%1\": this column has no unit (character %2)", "\"%1\": diese Spalte hat keine Einheit (Zeichen %2)",
     "« %1 » : cette colonne n'a pas d'unité (caractère %2)",
     "\"%1\": tento sloupec nemá jednotku (znak %2)"},
    {"\"and\" is wanted instead of \"%1\" (character %2)",
     "Statt \"%1\" wird \"und\" erwartet (Zeichen %2)",
     "« et » est attendu au lieu de « %1 » (caractère %2)",
     "Místo \"%1\" se čeká \"a\" (znak %2)"},
    {"Reading %1: %2 %", "Lese %1: %2 %", "Lecture de %1 : %2 %", "Čtu %1: %2 %"},
    {"Reading cancelled; the log open before stays", "Lesen abgebrochen; die bisherige Aufzeichnung bleibt",
     "Lecture annulée ; le journal ouvert avant reste", "Čtení zrušeno; dosavadní záznam zůstává"},
    {"%1, map %2", "%1, Mappe %2", "%1, carte %2", "%1, mapa %2"},
    {"new rows come in as they are written",
     "neue Zeilen kommen hinzu, sobald sie geschrieben sind",
     "les nouvelles lignes arrivent dès qu'elles sont écrites",
     "nové řádky přibývají, jak jsou zapisovány"},
    {"New rows are not followed any more: %1", "Neue Zeilen werden nicht mehr verfolgt: %1",
     "Les nouvelles lignes ne sont plus suivies : %1", "Nové řádky se již nesledují: %1"},
    {"This log has no acceleration or no map-in-use column (acceleration_rpm_s, second_map)",
     "Diese Aufzeichnung hat keine Spalte für Beschleunigung oder Mappe in Gebrauch "
     "(acceleration_rpm_s, second_map)",
     "Ce journal n'a pas de colonne d'accélération ou de carte utilisée "
     "(acceleration_rpm_s, second_map)",
     "Tento záznam nemá sloupec zrychlení nebo používané mapy "
     "(acceleration_rpm_s, second_map)"},
};
static_assert(std::size(kTexts) == std::size_t(LogText::Count));

// Replaces %1 .. %3 in `pattern`.
std::string Fill(std::string pattern, const std::array<std::string, 3>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string key = "%" + std::to_string(i + 1);
    for (std::size_t at = pattern.find(key); at != std::string::npos;
         at = pattern.find(key, at + args[i].size()))
      pattern.replace(at, key.size(), args[i]);
  }
  return pattern;
}

}  // namespace

std::span<const CaptionRow> LogToolCaptionRows() { return kRows; }

std::vector<CaptionText> LogToolCaptionTexts(int language) {
  return ExpandCaptionRows(kRows, language);
}

std::string LogTextOf(LogText id, int language) {
  const auto lang = static_cast<std::size_t>(ClampLanguage(language));
  return kTexts[std::size_t(id)][lang];
}

std::string ColumnLabel(std::string_view header, int language) {
  const Channel* ch = FindChannel(header);
  if (ch == nullptr) return std::string(header);
  std::string name(ChannelName(*ch, language));
  if (!ch->unit.empty()) name += " [" + std::string(ch->unit) + "]";
  return name;
}

std::string ConditionErrorText(const ConditionError& error, std::string_view text, int language) {
  // The place in characters, not bytes: a UTF-8 continuation byte starts no character.
  std::size_t character = 1;
  for (std::size_t i = 0; i < error.position && i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++character;
  LogText id = LogText::ConditionEmpty;
  switch (error.kind) {
    case ConditionErrorKind::Empty: id = LogText::ConditionEmpty; break;
    case ConditionErrorKind::NoName: id = LogText::ConditionNoName; break;
    case ConditionErrorKind::NoOperator: id = LogText::ConditionNoOperator; break;
    case ConditionErrorKind::UnknownName: id = LogText::ConditionUnknownName; break;
    case ConditionErrorKind::NotInLog: id = LogText::ConditionNotInLog; break;
    case ConditionErrorKind::NoNumber: id = LogText::ConditionNoNumber; break;
    case ConditionErrorKind::WrongUnit:
      id = error.expected.empty() ? LogText::ConditionNoUnit : LogText::ConditionWrongUnit;
      break;
    case ConditionErrorKind::NoAnd: id = LogText::ConditionNoAnd; break;
  }
  return Fill(LogTextOf(id, language), {error.word, std::to_string(character), error.expected});
}

}  // namespace rq::logs
