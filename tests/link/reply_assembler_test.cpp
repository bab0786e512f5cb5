// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/reply_assembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace rq {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Action = ReplyAssembler::Action;

FrameBytes Reply(std::uint8_t command, std::uint8_t fill) {
  std::array<std::uint8_t, kPayloadSize> p{};
  p.fill(fill);
  return BuildFrame(command, p);
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Of(const FrameBytes& f) { return Bytes(f.begin(), f.end()); }

bool MonitorOnly(std::uint8_t c) { return c == kCmdMonitorReply; }
bool MonitorOrBlock2(std::uint8_t c) { return c == kCmdMonitorReply || c == 0xC2; }

TEST(ReplyAssembler, PartialBytesWaitWhileTheyGrowAndGoWhenTheyStall) {
  ReplyAssembler a;
  EXPECT_EQ(a.plan(0), Action::Wait);
  EXPECT_EQ(a.plan(60), Action::Wait);     // a reply on its way
  EXPECT_EQ(a.plan(151), Action::Wait);
  EXPECT_EQ(a.plan(151), Action::Drop);    // no growth for a tick: a torn end
  EXPECT_EQ(a.plan(0), Action::Wait);
  EXPECT_EQ(a.plan(40), Action::Wait);
  EXPECT_EQ(a.plan(152), Action::Read);    // a whole frame's worth
  EXPECT_EQ(a.plan(5000), Action::Read);
}

TEST(ReplyAssembler, TakesTheFirstValidExpectedFrameAndDiscardsTheRest) {
  ReplyAssembler a;
  FrameBytes spoiled = Reply(kCmdMonitorReply, 7);
  spoiled[40] ^= 0x10;
  const FrameBytes good = Reply(kCmdMonitorReply, 9);
  const Bytes line = Join({{0x00, 0xB0, 0x13}, Of(Reply(0xC2, 1)), Of(spoiled), Of(good),
                           Of(Reply(kCmdMonitorReply, 3))});
  ASSERT_EQ(a.plan(line.size()), Action::Read);
  a.feed(line);
  // Noise, a block reply nobody waits for and a frame with a bad check byte are passed over;
  // a start byte inside the spoiled frame does not hide the good one behind it.
  const auto f = a.next(MonitorOnly);
  ASSERT_TRUE(f.has_value());
  EXPECT_EQ(*f, good);
  // At most one frame per read: the one behind it went with the rest.
  EXPECT_FALSE(a.next(MonitorOnly).has_value());
  EXPECT_EQ(a.kept(), 0u);

  // While block 2 is awaited its reply is taken too.
  a.feed(Of(Reply(0xC2, 1)));
  EXPECT_EQ((*a.next(MonitorOrBlock2))[0], 0xC2);
}

TEST(ReplyAssembler, AReplyCutByTheReadIsJoinedOnTheNextTickOrGivenUp) {
  const FrameBytes good = Reply(kCmdMonitorReply, 4);
  // A frame's worth arrived, but the reply starts behind 60 bytes of noise.
  const Bytes whole = Join({Bytes(60, 0x55), Of(good)});
  const Bytes head(whole.begin(), whole.begin() + 160);
  const Bytes tail(whole.begin() + 160, whole.end());

  ReplyAssembler a;
  ASSERT_EQ(a.plan(head.size()), Action::Read);
  a.feed(head);
  EXPECT_FALSE(a.next(MonitorOnly).has_value());
  EXPECT_EQ(a.kept(), 100u);  // the noise in front is gone
  EXPECT_EQ(a.room(), ReplyAssembler::kBufferSize - 100);
  // The rest arrives: fewer than a frame's worth is read because a start is kept.
  ASSERT_EQ(a.plan(tail.size()), Action::Read);
  a.feed(tail);
  ASSERT_TRUE(a.next(MonitorOnly).has_value());
  EXPECT_EQ(a.kept(), 0u);

  // The same start, but nothing follows within a tick: it is given up, and the late rest is
  // then dropped as a torn end instead of being taken for a reply.
  ReplyAssembler b;
  ASSERT_EQ(b.plan(head.size()), Action::Read);
  b.feed(head);
  EXPECT_FALSE(b.next(MonitorOnly).has_value());
  EXPECT_EQ(b.plan(0), Action::Wait);
  EXPECT_EQ(b.kept(), 0u);
  EXPECT_EQ(b.plan(tail.size()), Action::Wait);
  EXPECT_EQ(b.plan(tail.size()), Action::Drop);

  // Reopening the port forgets a kept start.
  ReplyAssembler c;
  ASSERT_EQ(c.plan(head.size()), Action::Read);
  c.feed(head);
  EXPECT_FALSE(c.next(MonitorOnly).has_value());
  c.reset();
  EXPECT_EQ(c.kept(), 0u);
  EXPECT_EQ(c.plan(tail.size()), Action::Wait);
}

TEST(ReplyAssembler, AFullBufferNeverOverflows) {
  ReplyAssembler a;
  const Bytes flood(ReplyAssembler::kBufferSize + 500, 0xB0);
  ASSERT_EQ(a.plan(flood.size()), Action::Read);
  a.feed(flood);  // more than fits: the excess is ignored
  EXPECT_FALSE(a.next(MonitorOnly).has_value());
  EXPECT_EQ(a.kept(), kFrameSize - 1);  // the last possible start, still incomplete
}

}  // namespace
}  // namespace rq
