// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the caption table (ui/caption_table.h) into a window's controls and menu items.
// Whether a text is shown whole is measured by ui/text_fit.h.
#pragma once

#include <QList>
#include <QString>

#include <vector>

#include "ui/caption_table.h"

class QObject;
class QWidget;

namespace rq {

// A row of the table that could not be written.
struct CaptionMiss {
  QString row;        // "ComboBoxBike (Item 4)"
  bool controlFound;  // false: no control or menu item carries the row's name
  QString reason;
};

struct CaptionApplyResult {
  int written = 0;            // rows written
  QList<CaptionMiss> misses;  // rows that found nothing, or a control that cannot take them
};

// Writes every row of the caption table for `language` (0..3; other values: English) into the
// controls and menu items under `window`, found by objectName, and ticks the language menu
// item of `language`. A row naming `window` itself sets its title.
//
// Combo-box items are replaced in place, radio-group items are the group's radio buttons in
// order (by their ids when a button group numbers them 0..n-1), hints become both tool tip and
// status tip. No signal is emitted on the way, so no change handler runs and selections stay.
// A control that is not in a layout and whose new text does not fit grows to fit it, never
// below the size it had when the table was first applied.
CaptionApplyResult ApplyCaptionTable(QWidget* window, int language);
// Writes rows of another table (ExpandCaptionRows) into another window the same way.
CaptionApplyResult ApplyCaptionTexts(QWidget* window, const std::vector<CaptionText>& rows);

// True when `o` lies in another top-level window than `window` (a dialog owned by it); the
// pop-ups of its menus are part of `window`.
bool InOtherWindow(const QObject* o, const QWidget* window);

}  // namespace rq
