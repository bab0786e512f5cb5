// SPDX-License-Identifier: GPL-3.0-or-later
// The caption table: the captions, hints and item lists of the main window's controls and
// menu items in the four interface languages (0 English, 1 German, 2 French, 3 Czech), held
// as UTF-8. Plain data; the window writes it with ApplyCaptionTable (ui/caption_apply.h).
#pragma once

#include <span>
#include <string>
#include <vector>

namespace rq {

enum class CaptionProperty {
  Title,     // the main window's title
  Caption,   // visible text of a menu item, page tab, group box, label, check box, button,
             // or the title of a radio group
  Hint,      // long help text: tool tip and status tip alike
  Item,      // one item, by position from 0, of a combo box or radio group
  ItemList,  // every item of a radio group at once; texts separated by '\n'
};

// Which step writes the row: most rows belong to the caption step; a few are written by the
// message step in the original order of things. Both are written by ApplyCaptionTable, which
// ends with the message step.
enum class CaptionStep { Caption, Message };

struct CaptionRow {
  const char* control;  // objectName; with `numbered` > 0 the stem of control1..controlN
  CaptionProperty property;
  int item;             // position for CaptionProperty::Item, else 0
  const char* texts[4]; // per language; with `entry` >= 0 appended to the entry's text
  int numbered = 0;     // > 0: controls `control`1 .. `control`N, each text followed by n
  int entry = -1;       // >= 0: the text starts with this message table entry
  CaptionStep step = CaptionStep::Caption;
};

// Every row as written in the table.
std::span<const CaptionRow> CaptionRows();

// One row resolved for one language and one control.
struct CaptionText {
  std::string control;
  CaptionProperty property;
  int item;
  std::string text;  // ItemList: items separated by '\n'
  CaptionStep step;
};

// All rows for `language` (outside 0..3: English), numbered rows expanded, composed texts
// composed.
std::vector<CaptionText> CaptionTexts(int language);

// Rows of another table resolved the same way.
std::vector<CaptionText> ExpandCaptionRows(std::span<const CaptionRow> rows, int language);

// The title of the main window in `language`.
std::string WindowTitle(int language);

// "Label (Caption)", "ComboBoxBike (Item 4)": how tests and reports name a resolved row.
std::string DescribeCaption(const CaptionText& row);

}  // namespace rq
