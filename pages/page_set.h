// SPDX-License-Identifier: GPL-3.0-or-later
// All editing pages of the window behind one face. The page set follows the workspace
// itself: every change of the configuration refreshes the page shown and applies its rules,
// the live values mark it, and the page's read-back is the workspace's. The window tells it
// which page it shows and knows nothing of the controls.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <vector>

#include "pages/page_kit.h"
#include "pages/page_rules.h"

class QWidget;

namespace rq {

class MapPages;

class PageSet : public QObject {
  Q_OBJECT

 public:
  // pages: the tab widgets of the page control, by page index; root: where the rules look
  // controls up by name (the page controls and the frame's).
  PageSet(Workspace& workspace, WindowFace& window, QWidget* root,
          const std::array<QWidget*, kPageCount>& pages);
  ~PageSet() override;

  PageKit& kit() { return kit_; }
  bool refreshing() const { return kit_.refreshing(); }
  // The developer test displays (the marker file): some rules show more.
  void setTestMode(bool on) { testMode_ = on; }

  // The page shown again: its refresh and its rules, then refreshed().
  void show(int page);
  // Image -> controls of the page. The caller applies the rules.
  void refresh(int page);
  // Controls of the page -> `image`; nothing while a refresh runs.
  void readBack(int page, ParameterImage& image);
  // The rule table of the page and the common part, then the page's own rules.
  void applyRules(int page);
  void markLive(int page);
  // The page control shows `page` now: every module hears it.
  void showPage(int page);
  void monitorAccepted();
  void languageChanged(int language);
  // Commits an edit the user is still typing in (before commands and page changes).
  // Returns true when it committed one.
  bool commitFocusedEdit();
  // Text typed into the focused field and not committed is dropped (Undo, Redo and Read take
  // no pending edit).
  void discardFocusedEdit();

  // The control that shows a differing slot on the pages (map cells and rpm points only on
  // the map page shown); nullptr when none does.
  QWidget* controlFor(const DifferingSlot& slot) const;

  // The advance and servo map pages (one module for the three).
  MapPages& maps() const;

  PageModule* module(int page) const { return byPage_[static_cast<std::size_t>(page)]; }
  // Call after the window has built everything it names, so that rules find every control.
  void indexControls();

 signals:
  // The page shown was refreshed and ruled (the marks of PC against unit follow it).
  void refreshed(int page);

 private:
  Workspace& ws_;
  QWidget* root_;
  PageKit kit_;
  std::vector<std::unique_ptr<PageModule>> owned_;
  std::array<PageModule*, kPageCount> byPage_{};
  QHash<QString, QWidget*> byName_;
  bool testMode_ = false;
};

// What every window does with the workspace besides its pages: its messages and notes go to
// the window's boxes and status line. The main window and the test window share it.
void ConnectWindowFace(Workspace& workspace, WindowFace& window, QObject* context);

// The page families. Each builds its controls into the page widgets it is given.
std::unique_ptr<PageModule> MakeBikePage(PageKit& kit, QWidget* page);
std::unique_ptr<PageModule> MakeInputsPage(PageKit& kit, QWidget* page);
std::unique_ptr<PageModule> MakeGearRacePages(PageKit& kit, QWidget* gear, QWidget* race);
std::unique_ptr<PageModule> MakeTestsPage(PageKit& kit, QWidget* page);
// The three map pages share one grid; the two power-output pages hold four outputs.
std::unique_ptr<PageModule> MakeMapPages(PageKit& kit, QWidget* advance1, QWidget* advance2,
                                         QWidget* servo);
std::unique_ptr<PageModule> MakePowerOutPages(PageKit& kit, QWidget* first, QWidget* second);

}  // namespace rq
