// SPDX-License-Identifier: GPL-3.0-or-later
// The limit texts in four languages and the lines built from them.
#include "limits/limit_texts.h"

#include <array>
#include <span>
#include <string_view>
#include <utility>

#include "model/map_model.h"
#include "ui/caption_table.h"
#include "ui/text_table.h"

namespace rq {

namespace {

using LimitTextRow = std::array<const char*, kLanguageCount>;

enum LimitTextId : int {
  LtRow,     // %1 throttle of the row in percent
  LtColumn,  // %1 rpm point of the column
  // By LimitKind: %1 the cell, %2 the limit, %3 the other value, %4 where the neighbour
  // stands (its rpm or throttle), %5 the difference.
  LtMin,
  LtMax,
  LtStepRight,
  LtStepDown,
  LtChange,
  // By LimitsProblemKind: %1 key, %2 value, %3 other key, %4 other value.
  LtMalformed,
  LtNegative,
  LtMinAboveMax,
  LtUnknownKey,
  LtRepeatedKey,
  LtBadCells,
  LtAtLine,  // %1 the line of the file
  LtCount
};

constexpr LimitTextRow kLimitTexts[LtCount] = {
    {"row %1 %", "Zeile %1 %", "ligne %1 %", "řádek %1 %"},
    {"col %1 rpm", "Spalte %1 U/min", "col. %1 tr/min", "sloupec %1 ot/min"},
    {"%1 < min %2", "%1 < Min. %2", "%1 < min %2", "%1 < min %2"},
    {"%1 > max %2", "%1 > Max. %2", "%1 > max %2", "%1 > max %2"},
    {"%1 vs %3 at %4 rpm: step %5 > max %2", "%1 zu %3 bei %4 U/min: Sprung %5 > Max. %2",
     "%1 / %3 à %4 tr/min : écart %5 > max %2", "%1 proti %3 při %4 ot/min: skok %5 > max %2"},
    {"%1 vs %3 at %4 %: step %5 > max %2", "%1 zu %3 bei %4 %: Sprung %5 > Max. %2",
     "%1 / %3 à %4 % : écart %5 > max %2", "%1 proti %3 při %4 %: skok %5 > max %2"},
    {"%1 vs unit %3: change %5 > max %2", "%1 zu Zündbox %3: Änderung %5 > Max. %2",
     "%1 / unité %3 : changement %5 > max %2", "%1 proti jednotce %3: změna %5 > max %2"},
    {"%1=%2 is not a number in the page's unit", "%1=%2 ist keine Zahl in der Einheit der Seite",
     "%1=%2 n'est pas un nombre dans l'unité de la page", "%1=%2 není číslo v jednotce stránky"},
    {"%1=%2 is below 0", "%1=%2 ist kleiner als 0", "%1=%2 est inférieure à 0", "%1=%2 je menší než 0"},
    {"%1=%2 is above %3=%4; every cell breaks one of them",
     "%1=%2 liegt über %3=%4; jede Zelle verletzt eine der beiden",
     "%1=%2 dépasse %3=%4 ; chaque case enfreint l'une des deux",
     "%1=%2 je nad %3=%4; každá buňka poruší jeden z nich"},
    {"%1 is no key of the limits (misspelt?); it is ignored",
     "%1 ist kein Schlüssel der Grenzen (vertippt?); er wird übergangen",
     "%1 n'est pas une clé des limites (faute de frappe ?) ; elle est ignorée",
     "%1 není klíč limitů (překlep?); přeskakuje se"},
    {"%1 is given again; the first value, %4, counts",
     "%1 steht noch einmal da; der erste Wert, %4, gilt",
     "%1 est donnée une seconde fois ; la première valeur, %4, compte",
     "%1 je uveden znovu; platí první hodnota, %4"},
    {"%1=%2 is not a list of cells row:column (row 0 to 9, column 0 to 14)",
     "%1=%2 ist keine Liste von Zellen Zeile:Spalte (Zeile 0 bis 9, Spalte 0 bis 14)",
     "%1=%2 n'est pas une liste de cases ligne:colonne (ligne 0 à 9, colonne 0 à 14)",
     "%1=%2 není seznam buněk řádek:sloupec (řádek 0 až 9, sloupec 0 až 14)"},
    {"[LIMITS] line %1: ", "[LIMITS] Zeile %1: ", "[LIMITS] ligne %1 : ", "[LIMITS] řádek %1: "},
};

const char* LimitTextOf(LimitTextId id, int language) {
  return kLimitTexts[id][static_cast<std::size_t>(ClampLanguage(language))];
}

// The tab of each limit page in the caption table.
constexpr std::pair<int, std::string_view> kLimitPageTabs[] = {
    {kPageAdvance1, "TabSheet_Advance1"},
    {kPageAdvance2, "TabSheet_Advance2"},
    {kPageServo, "TabSheet_Servo"},
};

}  // namespace

std::string LimitPageName(int page, int language) {
  for (const auto& [p, control] : kLimitPageTabs) {
    if (p != page) continue;
    for (const CaptionRow& row : CaptionRows())
      if (control == row.control && row.property == CaptionProperty::Caption)
        return ExpandCaptionRows(std::span(&row, 1), language).front().text;
  }
  return PageName(page);
}

std::string ViolationText(const Violation& v, const ParameterImage& image, int language) {
  const MapDef* map = MapOfPage(v.page);
  if (map == nullptr || v.row < 0 || v.row >= kMapRows || v.column < 0 || v.column >= kMapColumns)
    return {};
  const MapMode mode = MapModeOf(image, v.page);
  auto rpmAt = [&](int column) { return std::to_string(image[map->axis[column]]); };
  std::string line = LimitPageName(v.page, language);
  if (RowLabelsVisible(mode))
    line += "  " + FillPlaceholders(LimitTextOf(LtRow, language), {std::to_string(kThrottleRows[v.row])});
  if (AxisVisible(mode))
    line += "  " + FillPlaceholders(LimitTextOf(LtColumn, language), {rpmAt(v.column)});
  std::string where;
  if (v.kind == LimitKind::StepRight && OtherColumn(v) < kMapColumns) where = rpmAt(OtherColumn(v));
  if (v.kind == LimitKind::StepDown && OtherRow(v) < kMapRows)
    where = std::to_string(kThrottleRows[OtherRow(v)]);
  const LimitTextId id = static_cast<LimitTextId>(LtMin + static_cast<int>(v.kind));
  return line + "  " +
         FillPlaceholders(LimitTextOf(id, language),
                          {std::to_string(v.value), LimitNumberText(v.limit), std::to_string(v.other),
                           where, std::to_string(ViolationDifference(v))});
}

std::string LimitsProblemText(const LimitsProblem& problem, int language) {
  const LimitTextId id = static_cast<LimitTextId>(LtMalformed + static_cast<int>(problem.kind));
  const std::string where =
      problem.line > 0 ? FillPlaceholders(LimitTextOf(LtAtLine, language), {std::to_string(problem.line)}) : "";
  return where + FillPlaceholders(LimitTextOf(id, language),
                                  {problem.key, problem.value, problem.otherKey, problem.otherValue});
}

}  // namespace rq
