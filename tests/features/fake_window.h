// SPDX-License-Identifier: GPL-3.0-or-later
// Features without the main window: a real workspace over a scripted port with a unit that
// answers like the real one, and a small window that offers what WindowFace promises (menus,
// a status bar, recorded messages and questions, the eleven page widgets with the page set),
// wired to the workspace as the main window is.
#pragma once

#include <QMenu>
#include <QStatusBar>
#include <QWidget>

#include <array>
#include <deque>
#include <memory>
#include <vector>

#include "../link/scripted_port.h"
#include "../workspace/workspace_peer.h"
#include "model/ini_file.h"
#include "pages/page_set.h"
#include "ui/unit_texts.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq::test {

// A text of the PC-against-unit table as the window shows it.
inline QString UnitTextQ(UnitText id, int language = kLanguageEnglish) {
  return QString::fromStdString(UnitTextOf(id, language));
}

class FakeWindow : public QWidget, public WindowFace {
 public:
  // The workspace talks through a scripted port; the unit answers what is sent to it.
  FakeWindow();
  ~FakeWindow() override;

  Workspace& workspace() { return *ws_; }
  // The configuration written in place, to arrange a case (the features go through the
  // workspace's change).
  ParameterImage& image() { return WorkspacePeer::image(*ws_); }
  ScriptedPort& port() { return *port_; }
  FakeUnit& unit() { return unit_; }
  PageSet& pages() { return *pages_; }
  QMenu* menu(Menu m) { return menus_[std::size_t(m)]; }
  QStatusBar* statusBar() { return status_; }

  // One 55 ms tick of the workspace; the unit's replies wait for the next one.
  void tick();
  // Ticks until the engine is idle (or `limit` ticks); true when it ended idle.
  bool runUntilIdle(int limit = 400);
  // Shows `page` as the page control would.
  void showPage(int page);
  // The page shown again, as the window does on a page change.
  void RefreshPages() { pages_->show(page_); }

  std::vector<QString> messages;
  std::vector<QString> questions;
  std::deque<int> answers;  // QMessageBox buttons, in turn; Cancel when none is left
  std::vector<bool> questionsDefaultNo;  // by question: No was its default button
  std::vector<QStringList> choices;      // by question with choices of its own; answered
                                         // by `answers` as an index, the last when none is left
  std::vector<QString> notes;
  int refreshes = 0;  // of the page shown
  int settingsWrites = 0;
  IniFile ini;  // the settings file: what writeSettings wrote; a test may fill it first

  // ---- WindowFace ---------------------------------------------------------------------------
  QWidget* dialogParent() override { return this; }
  int language() const override { return ws_->language(); }
  void addMenuAction(Menu m, QAction* action) override { menu(m)->addAction(action); }
  void addStatusWidget(QWidget* widget) override { status_->addPermanentWidget(widget); }
  void showNote(const QString& text, int ms) override;
  void showMessage(const QString& text) override { messages.push_back(text); }
  int askQuestion(const QString& text, bool withCancel = true, bool defaultNo = false) override;
  int askChoice(const QString& text, const QStringList& choices, int defaultChoice) override;
  // Undo and Redo on the workspace, with the window's keys.
  QList<QAction*> undoActions() override { return undo_; }
  void commitPendingEdit() override { pages_->commitFocusedEdit(); }
  QWidget* liveStrip() override { return this; }
  const IniFile& settings() const override { return ini; }
  bool writeSettings(const std::function<void(IniFile&)>& setKeys) override {
    setKeys(ini);
    ++settingsWrites;
    return true;
  }
  int currentPage() const override { return page_; }
  QString pageCaption(int page) const override;
  QWidget* printedWindow() override { return this; }
  void setPrinting(bool on) override { ws_->setPrinting(on); }
  void showPrintStamp(const QString&) override {}
  void hideStatusLine() override { ws_->hideStatusLine(); }

 private:
  ScriptedPort* port_ = nullptr;
  FakeUnit unit_;
  std::unique_ptr<Workspace> ws_;
  std::array<QWidget*, kPageCount> pageWidgets_{};
  std::array<QMenu*, 3> menus_{};
  QStatusBar* status_ = nullptr;
  std::unique_ptr<PageSet> pages_;
  int page_ = 0;
  QList<QAction*> undo_;
};

}  // namespace rq::test
