// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace's contract with the window and the features: every operation that changes the
// configuration shows it once and names what moved; undo and redo bring back the step and its
// page; a read refuses every change before anything is asked; the hold keeps programming after
// change back.
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../link/scripted_port.h"
#include "model/map_model.h"
#include "ui/notice_texts.h"
#include "workspace/workspace.h"

namespace rq::test {
namespace {

class WorkspaceContract : public ::testing::Test {
 protected:
  WorkspaceContract() {
    auto port = std::make_unique<ScriptedPort>();
    port_ = port.get();
    ws_ = std::make_unique<Workspace>(std::move(port));
    ws_->start({}, kPageBike);
    ws_->openPort();
  }
  // One 55 ms tick; the unit answers on the next one.
  void tick() {
    const std::size_t before = port_->sent.size();
    ws_->tick();
    for (std::size_t i = before; i < port_->sent.size(); ++i)
      if (auto r = unit_.respond(port_->sent[i])) port_->queue(*r);
  }
  // Programmings started: each begins with the block-0 request.
  int programsSent() const {
    int n = 0;
    for (const FrameBytes& f : port_->sent) n += f[0] == kCmdProgram;
    return n;
  }
  static Workspace::Edit Set(int offset, int value) {
    return [offset, value](ParameterImage& im) { im.setByte(offset, value); };
  }

  ScriptedPort* port_ = nullptr;
  FakeUnit unit_;
  std::unique_ptr<Workspace> ws_;
};

TEST_F(WorkspaceContract, EveryOperationThatChangesTheConfigurationShowsItOnceWithWhatMoved) {
  const int cell = CellByte(*MapOfPage(kPageAdvance1), 4, 4);
  struct Case {
    const char* name;
    std::function<void(Workspace&)> run;
    int moved;  // a byte that must be named as moved; -1: none
  };
  const std::vector<Case> cases = {
      {"an edit", [&](Workspace& ws) { ws.change(Set(cell, 33), kPageAdvance1); }, cell},
      {"the servo mode", [](Workspace& ws) { ws.change(Set(kServoMode.offset, 2), kPageServo); },
       kServoMode.offset},
      {"undo", [](Workspace& ws) { ws.undo(); }, kServoMode.offset},
      {"redo", [](Workspace& ws) { ws.redo(); }, kServoMode.offset},
      {"New", [](Workspace& ws) { ws.applyDefaults(kPageBike); }, kServoMode.offset},
      {"the motorbike type", [](Workspace& ws) { ws.chooseBikeType(5, -1, kPageBike, {}); },
       kBikeType.offset},
      {"an edit that changes nothing", [&](Workspace& ws) { ws.change({}, kPageBike); }, -1},
      {"the page taken in", [](Workspace& ws) { ws.takeShownPage(); }, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QSignalSpy shown(ws_.get(), &Workspace::imageChanged);
    c.run(*ws_);
    ASSERT_EQ(shown.size(), 1);
    const auto moved = shown.at(0).at(0).value<ImageByteSet>();
    if (c.moved < 0) EXPECT_TRUE(moved.none());
    else EXPECT_TRUE(moved.test(std::size_t(c.moved)));
  }
}

TEST_F(WorkspaceContract, UndoAndRedoBringBackTheStepAndThePageItWasTakenOn) {
  const ParameterImage start = ws_->image();
  ws_->change(Set(kServoMode.offset, 2), kPageServo);
  const ParameterImage servo = ws_->image();
  ws_->change(Set(kBikeType.offset, 1), kPageBike);
  EXPECT_EQ(ws_->undo(), kPageServo);
  EXPECT_TRUE(ws_->image().sameConfig(servo));
  EXPECT_EQ(ws_->undo(), kPageBike);  // the start, taken on the page shown then
  EXPECT_TRUE(ws_->image().sameConfig(start));
  EXPECT_EQ(ws_->undo(), -1);
  EXPECT_EQ(ws_->redo(), kPageServo);
  EXPECT_TRUE(ws_->image().sameConfig(servo));
}

TEST_F(WorkspaceContract, AReadRefusesEveryChangeBeforeAskingAndSaysWhy) {
  ws_->change(Set(kBikeType.offset, 1), kPageBike);
  ws_->startRead();
  ASSERT_TRUE(ws_->readLocked());
  const ParameterImage before = ws_->image();
  QSignalSpy shown(ws_.get(), &Workspace::imageChanged);
  QSignalSpy refused(ws_.get(), &Workspace::changeRefused);
  QSignalSpy notes(ws_.get(), &Workspace::note);
  int asked = 0;
  const Workspace::Confirm ask = [&asked] { return ++asked > 0; };
  EXPECT_FALSE(ws_->change(Set(kBikeType.offset, 3), kPageBike, ask));
  EXPECT_FALSE(ws_->applyDefaults(kPageBike, ask));
  EXPECT_FALSE(ws_->chooseBikeType(2, -1, kPageBike, ask));
  EXPECT_EQ(ws_->undo(), -1);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(shown.size(), 0);
  EXPECT_EQ(refused.size(), 4);
  ASSERT_EQ(notes.size(), 4);
  EXPECT_EQ(notes.at(0).at(0).toString(), QString::fromUtf8(NoticeText(kLanguageEnglish, NoticeEditsWaitForRead)));
  EXPECT_EQ(ws_->image(), before);
}

TEST_F(WorkspaceContract, TheHoldKeepsProgrammingAfterChangeBackUntilItLetsGo) {
  for (int i = 0; i < 30 && !ws_->connected(); ++i) tick();
  ASSERT_TRUE(ws_->connected());
  QString reason = "held";
  ws_->setProgramHold([&reason] { return reason; });
  ws_->setProgramAfterChange(true);
  QSignalSpy notes(ws_.get(), &Workspace::note);
  ws_->change(Set(kBikeType.offset, 1), kPageBike);
  for (int i = 0; i < 20; ++i) tick();
  EXPECT_EQ(programsSent(), 0);
  ASSERT_FALSE(notes.isEmpty());
  EXPECT_EQ(notes.back().at(0).toString(), "held");
  reason.clear();
  ws_->change(Set(kBikeType.offset, 3), kPageBike);
  for (int i = 0; i < 100 && (i < 2 || ws_->exchange().busy()); ++i) tick();
  EXPECT_EQ(programsSent(), 1);
  EXPECT_EQ(unit_.image[kBikeType], 3);
}

}  // namespace
}  // namespace rq::test
