// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the caption table (ui/caption_table.h) into a window's controls and menu items, and
// checks that every caption is shown whole.
#pragma once

#include <QList>
#include <QSize>
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

// The size a control needs to show its whole text at its font: for labels, check boxes and
// radio buttons their size hint, for push buttons the text and icon inside the style's margins
// (without the style's minimum width), for group boxes the title's width (height 0). An empty
// size for controls without text.
QSize TextFitSize(const QWidget* widget);

// A text that is not shown whole.
struct CutOffText {
  QString control;  // objectName, or the tab widget's name and the tab index
  QString text;
  QSize needed;
  QSize available;
};

// Every label, check box, radio button, push button, group-box title and page tab under `root`
// (shown or not; other windows excluded) whose text does not fit its control.
QList<CutOffText> FindCutOffTexts(const QWidget* root);

// True when `o` lies in another top-level window than `window` (a dialog owned by it); the
// pop-ups of its menus are part of `window`.
bool InOtherWindow(const QObject* o, const QWidget* window);

}  // namespace rq
