// SPDX-License-Identifier: GPL-3.0-or-later
// What the unit is known to hold, after sequences of starts and ends of operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "model/defaults.h"
#include "workspace/unit_tracker.h"

namespace rq {
namespace {

using State = UnitRecord::State;

struct Step {
  enum Kind { Start, End, ReadStored, ProgramVerified, UnitRead, Edit, LinkLost } kind;
  Operation op = Operation::Read;
  Outcome outcome = Outcome::Ok;
  OpState phase = OpState::Verify;
};

Step Start(Operation op) { return {Step::Start, op}; }
Step End(Operation op, Outcome outcome, OpState phase) { return {Step::End, op, outcome, phase}; }
constexpr Step kReadStored{Step::ReadStored};
constexpr Step kProgramVerified{Step::ProgramVerified};
constexpr Step kUnitRead{Step::UnitRead};
constexpr Step kEdit{Step::Edit};  // the PC's configuration changes
constexpr Step kLinkLost{Step::LinkLost};

struct Case {
  const char* rule;
  std::vector<Step> steps;
  State expected;
};

TEST(UnitTracker, SequencesOfOperationsLeaveTheUnitKnownUnknownOrNotRead) {
  using O = Operation;
  const Case cases[] = {
      {"nothing yet", {}, State::NotRead},
      {"a verify that ended equal", {Start(O::Verify), End(O::Verify, Outcome::Ok, OpState::Verify)},
       State::Known},
      {"a read stored and verified", {Start(O::Read), kReadStored, End(O::Read, Outcome::Ok, OpState::Verify)},
       State::Known},
      {"a failed programming",
       {kReadStored, Start(O::Program), End(O::Program, Outcome::Failed, OpState::Program)},
       State::Unknown},
      {"a programming that failed in its verify",
       {kReadStored, Start(O::Program), End(O::Program, Outcome::Failed, OpState::Verify)},
       State::Unknown},
      {"a programming a read replaced half-way",
       {kReadStored, Start(O::Program), End(O::Program, Outcome::Replaced, OpState::Program), Start(O::Read)},
       State::Unknown},
      {"... until that read stored",
       {kReadStored, Start(O::Program), End(O::Program, Outcome::Replaced, OpState::Program), Start(O::Read),
        kReadStored},
       State::Known},
      {"a programming the unit refused for another image version",
       {kReadStored, Start(O::Program), End(O::Program, Outcome::OtherVersion, OpState::Program)},
       State::Unknown},
      {"a programming that verified equal",
       {Start(O::Program), kProgramVerified, End(O::Program, Outcome::Ok, OpState::Verify)},
       State::Known},
      {"a verify error after an edit: only the PC differs",
       {kReadStored, kEdit, Start(O::Verify), End(O::Verify, Outcome::Failed, OpState::Verify)},
       State::Known},
      {"a verify error where the PC was thought equal",
       {kReadStored, Start(O::Verify), End(O::Verify, Outcome::Failed, OpState::Verify)},
       State::Unknown},
      {"a read error changes nothing",
       {kUnitRead, Start(O::Read), End(O::Read, Outcome::Failed, OpState::Read)},
       State::Known},
      {"a lost link: another unit may answer next", {kReadStored, kLinkLost}, State::Unknown},
      {"... until a verify finds the PC's configuration",
       {kReadStored, kLinkLost, Start(O::Verify), End(O::Verify, Outcome::Ok, OpState::Verify)},
       State::Known},
      {"a lost link before anything was read", {kLinkLost}, State::NotRead},
      {"a read into a copy tells nothing by its end alone",
       {Start(O::UnitRead), End(O::UnitRead, Outcome::Ok, OpState::Read)},
       State::NotRead},
  };
  for (const Case& c : cases) {
    UnitRecord record;
    UnitTracker tracker(record);
    ParameterImage pc = NewConfiguration();
    for (const Step& s : c.steps) {
      switch (s.kind) {
        case Step::Start: tracker.started(s.op); break;
        case Step::End: tracker.ended({s.op, s.outcome, s.phase}, pc); break;
        case Step::ReadStored: tracker.readStored(pc); break;
        case Step::ProgramVerified: tracker.programVerified(pc); break;
        case Step::UnitRead: tracker.unitRead(pc); break;
        case Step::Edit: pc.setByte(173, std::uint8_t(pc.byte(173) + 1)); break;
        case Step::LinkLost: tracker.linkLost(); break;
      }
    }
    EXPECT_EQ(record.state(), c.expected) << c.rule;
    const bool edited = std::any_of(c.steps.begin(), c.steps.end(),
                                    [](const Step& s) { return s.kind == Step::Edit; });
    if (c.expected == State::Known && !edited) {
      EXPECT_TRUE(record.unit().sameConfig(pc)) << c.rule;
    }
  }
}

}  // namespace
}  // namespace rq
