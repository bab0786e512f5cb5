// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as tests and benchmarks drive it: its rooms, its command handlers, and the
// configuration written in place to arrange a case (tests/workspace/workspace_peer.h).
#pragma once

#include "app/form_hlav.h"
#include "pages/page_set.h"
#include "tests/workspace/workspace_peer.h"

namespace rq {

class FormHlavPeer : public FormHlav {
 public:
  using FormHlav::FormHlav;

  Workspace& workspace() { return *workspace_; }
  ParameterImage& image() { return WorkspacePeer::image(*workspace_); }
  const ParameterImage& image() const { return workspace_->image(); }
  AllFlags& allFlags() { return workspace_->allFlags(); }
  DeviceExchange& exchange() { return workspace_->exchange(); }
  const TextTable& texts() const { return workspace_->texts(); }
  const UndoHistory& undoHistory() const { return workspace_->undoHistory(); }
  const MonitorSnapshot& lastMonitor() const { return workspace_->lastMonitor(); }
  bool connected() const { return workspace_->connected(); }
  bool printing() const { return workspace_->printing(); }
  QString fileName() const { return workspace_->fileName(); }
  QString dataIgnPath() const { return dataIgnPath_; }
  bool testMode() const { return testMode_; }
  PageSet& pageSet() { return *pageSet_; }
  FormAbout* formAbout() const { return formAbout_; }
  FileCommands& fileCommands() { return *fileCommands_; }
  PrintPages& printPages() { return *printPages_; }
  VerifyDifferences& verifyDifferences() { return *verifyDifferences_; }
  UnitSync& unitSync() { return *unitSync_; }
  CompareView& compareView() { return *compareView_; }
  LimitGuard& limitGuard() { return *limitGuard_; }
  MapView& mapView() { return *mapView_; }
  using FormHlav::iniDir;
  using FormHlav::setIniDir;

  using FormHlav::Timer1Timer;
  using FormHlav::MenuNewClick;
  using FormHlav::MenuReadClick;
  using FormHlav::MenuVerifyClick;
  using FormHlav::MenuProgramClick;
  using FormHlav::MenuContensClick;
  using FormHlav::MenuExitClick;
  using FormHlav::MenuAboutClick;
  using FormHlav::MenuEnglishClick;
  using FormHlav::MenuGermanClick;
  using FormHlav::MenuFrenchClick;
  using FormHlav::MenuCzechClick;
  using FormHlav::SpeedButtonZpetClick;
  using FormHlav::SpeedButtonZnovuClick;
  using FormHlav::RefreshPages;
  using FormHlav::PageControl1Change;
  using FormHlav::showMonitorValues;

  // An image written in place, then the edit path's step: the pass, shown, one undo step.
  void AfterChange() { workspace_->change({}, currentPage_); }
  // The page shown written into the image as it is (no pass, no step); and the pass alone.
  void ReadBackPage() { pageSet_->readBack(currentPage_, image()); }
  void SanitizeImage() { WorkspacePeer::sanitize(*workspace_); }
};

}  // namespace rq
