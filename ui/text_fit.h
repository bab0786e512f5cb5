// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring texts against their controls: the size a control needs to show its whole text,
// and every text of a window that is cut off.
#pragma once

#include <QList>
#include <QSize>
#include <QString>

class QMessageBox;
class QWidget;

namespace rq {

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

// Puts `text` into a message box: very long words (paths) shortened in the middle, so that the
// box fits the screen, and then the whole text in the box's details.
void SetMessageText(QMessageBox& box, const QString& text);

}  // namespace rq
