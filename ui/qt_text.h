// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the model and link layers are UTF-8 std::strings; the window shows QStrings.
#pragma once

#include <QString>

#include <string>

namespace rq {

inline QString FromStd(const std::string& s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// A text for a message box: a word longer than `longest` characters (a path of thousands)
// keeps its head and tail around an ellipsis, so that the box stays inside the screen; the
// text as it was goes into the box's details.
inline QString ElideLongWords(const QString& text, int longest = 160) {
  const int head = longest * 2 / 5;
  const int tail = longest - head - 3;
  QString out;
  qsizetype start = 0;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !text.at(i).isSpace()) continue;
    const QString word = text.mid(start, i - start);
    out += word.size() > longest ? word.left(head) + QStringLiteral(" \u2026 ") + word.right(tail) : word;
    if (i < text.size()) out += text.at(i);
    start = i + 1;
  }
  return out;
}

}  // namespace rq
