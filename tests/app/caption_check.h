// SPDX-License-Identifier: GPL-3.0-or-later
// Checks of the language switch that any window test can run: a snapshot of everything a
// window shows (texts, hints, items, selections), a counter of the change signals a switch
// must not emit, and the "nothing cut off in any language" check.
#pragma once

#include <QMetaObject>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

class QWidget;

namespace rq {
class FormHlavPeer;
}

namespace rq::test {

// Every text, hint, item list, check state and selection under `window`, keyed by the object's
// path of names (unnamed objects by class and position).
std::map<QString, QString> WindowSnapshot(const QWidget* window);

// Lines "key: before -> after" for every difference.
QStringList SnapshotDifferences(const std::map<QString, QString>& before,
                                const std::map<QString, QString>& after);

// Counts the change signals of every combo box, button, radio button, tab widget and action
// under `window` while it lives: the signals a user's change would send to a handler.
class ChangeSignalCounter {
 public:
  explicit ChangeSignalCounter(QWidget* window);
  ~ChangeSignalCounter();
  ChangeSignalCounter(const ChangeSignalCounter&) = delete;
  ChangeSignalCounter& operator=(const ChangeSignalCounter&) = delete;
  const QStringList& emitted() const { return *emitted_; }

 private:
  std::shared_ptr<QStringList> emitted_;
  std::vector<QMetaObject::Connection> connections_;
};

// Switches the window through the four languages with the language menu handlers and lists,
// per language, every label, check box, radio button, button, group title and page tab whose
// text does not fit; the window ends in the language it started in.
QStringList CutOffTextsInEveryLanguage(FormHlavPeer& form);

// Switches the window through the four languages and shows every page in turn; lists, per
// language and page, every pair of visible sibling widgets whose rectangles intersect. An edit
// and its own up-down are meant to touch and are not listed. The window ends in the language
// and on the page it started with.
QStringList OverlappingControlsInEveryLanguage(FormHlavPeer& form);

// The same for the widgets under `root` as they are laid out now.
QStringList OverlappingControls(const QWidget* root);

// Runs the language menu handler of `language`.
void SwitchLanguage(FormHlavPeer& form, int language);

}  // namespace rq::test
