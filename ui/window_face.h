// SPDX-License-Identifier: GPL-3.0-or-later
// What the pages and features need from the main window, and nothing more: a parent for their
// dialogs, a place for their menu items and status-bar widgets, notes, messages and questions,
// the live strip, committing an edit still being typed, the page shown and its caption, and the
// printing mode. The configuration itself is the workspace's; the window only shows it, and the
// pages follow the workspace, not the window.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QWidget;

namespace rq {

class IniFile;

class WindowFace {
 public:
  // The menus features add to. Described menus keep their items and order: an added item goes
  // after them (the first one added after a separator).
  enum class Menu { File, Device, Tools };

  virtual ~WindowFace() = default;

  // ---- For features --------------------------------------------------------------------------
  // The parent of dialogs, views and message boxes.
  virtual QWidget* dialogParent() = 0;
  // The interface language (0 English .. 3 Czech), as the workspace holds it.
  virtual int language() const = 0;
  virtual void addMenuAction(Menu menu, QAction* action) = 0;
  // A widget at the right of the status bar.
  virtual void addStatusWidget(QWidget* widget) = 0;
  // A note on the status line for `ms` milliseconds (0: until the next hint).
  virtual void showNote(const QString& text, int ms) = 0;
  // A message box (recorded in tests); a Yes / No (/ Cancel) question returning the
  // QMessageBox button chosen. With `defaultNo` Enter answers No: for a question whose Yes
  // sends what breaks a guard rail.
  virtual void showMessage(const QString& text) = 0;
  virtual int askQuestion(const QString& text, bool withCancel = true, bool defaultNo = false) = 0;
  // A question with buttons of its own, named by `choices`: the index of the one chosen. The
  // last choice is also Escape's (Cancel); Enter chooses `defaultChoice`.
  virtual int askChoice(const QString& text, const QStringList& choices, int defaultChoice) = 0;
  // Undo and Redo: a window of a feature adds them to itself, so that their keys act while it
  // has the focus.
  virtual QList<QAction*> undoActions() = 0;
  // Commits an edit the user is still typing; every command calls it first.
  virtual void commitPendingEdit() = 0;
  // The widget under the pages that holds the live values: a place for controls of the
  // running engine (the ride recording). Its coordinates are the client area's.
  virtual QWidget* liveStrip() = 0;

  // The settings file as read at start-up: each feature reads its own section. A feature writes
  // its keys with writeSettings at once (the file as it is now, with `setKeys` applied: every
  // other section and key is kept); false when the file cannot be written (the user is told).
  virtual const IniFile& settings() const = 0;
  virtual bool writeSettings(const std::function<void(IniFile&)>& setKeys) = 0;
  // The page the page control shows (the workspace's page).
  virtual int currentPage() const = 0;
  // The caption of page `page`'s tab in the window's language.
  virtual QString pageCaption(int page) const = 0;

  // ---- For printing --------------------------------------------------------------------------
  // The window whose client area is printed (controls are looked up in it by name).
  virtual QWidget* printedWindow() = 0;
  // The printing mode: the printing flag, then the page rules.
  virtual void setPrinting(bool on) = 0;
  // The status line: the print stamp text followed by `suffix`; hidden again.
  virtual void showPrintStamp(const QString& suffix) = 0;
  virtual void hideStatusLine() = 0;
};

}  // namespace rq
