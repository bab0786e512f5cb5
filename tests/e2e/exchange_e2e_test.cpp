// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange engine on a real termios port against the unit simulator: watchdog, port
// search and a long run over a noisy line.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <thread>
#include <vector>

#include <poll.h>

#include "link/device_exchange.h"
#include "link/serial_port.h"
#include "tests/e2e/child_process.h"

namespace rq::e2e {
namespace {

// The real termios port, counting how often it is opened.
class CountingPort final : public SerialPort {
 public:
  bool open(const std::string& path, std::string& error) override {
    ++opens;
    return port.open(path, error);
  }
  void close() override { port.close(); }
  bool isOpen() const override { return port.isOpen(); }
  std::size_t bytesWaiting() override { return port.bytesWaiting(); }
  std::size_t read(std::uint8_t* buffer, std::size_t max) override {
    return port.read(buffer, max);
  }
  bool writeAll(std::span<const std::uint8_t> data) override { return port.writeAll(data); }

  TermiosPort port;
  int opens = 0;
};

// One tick without the 55 ms pause. When the tick sent a request, wait until a whole frame
// has come back (or waitMs has passed), so that the next tick finds the reply as it would
// after a real tick interval.
bool TickAndAwait(DeviceExchange& ex, SerialPort& port, int waitMs) {
  ex.tick();
  const bool sent = ex.state().retryTicks == 0;
  if (!sent) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (port.bytesWaiting() < kFrameSize && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  return true;
}

// Signals reach the simulator asynchronously; give it time to act before the next request.
void SignalAndSettle(UnitSim& sim, int sig) {
  sim.process().signal(sig);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

TEST(ExchangeEndToEnd, WatchdogReportsNoConnectionAndReopensThePort) {
  UnitSim sim({"--seed", "4"});
  ASSERT_TRUE(sim.ok());
  ParameterImage image;
  CountingPort port;
  long tick = 0, lastReply = -1;
  ExchangeHooks hooks;
  hooks.monitorAccepted = [&](const FrameBytes&) { lastReply = tick; };
  DeviceExchange ex(image, port, hooks, [&](int) { return sim.path(); });
  ex.portSettings().comPort = 0;
  ex.OpenPort();
  ASSERT_TRUE(port.isOpen()) << ex.lastOpenError();

  for (; tick < 100 && !ex.connected(); ++tick) TickAndAwait(ex, port, 200);
  ASSERT_TRUE(ex.connected());
  for (int i = 0; i < 40; ++i, ++tick) TickAndAwait(ex, port, 200);
  EXPECT_TRUE(ex.connected());
  EXPECT_EQ(port.opens, 1);

  SignalAndSettle(sim, SIGUSR1);  // the unit falls silent
  long lostAt = -1;
  std::vector<long> reopenTicks;
  int opensSeen = port.opens;
  for (int i = 0; i < 140; ++i, ++tick) {
    TickAndAwait(ex, port, 20);
    if (lostAt < 0 && ex.view().noConnectionVisible) lostAt = tick;
    if (port.opens != opensSeen) {
      opensSeen = port.opens;
      reopenTicks.push_back(tick);
    }
  }
  ASSERT_GE(lostAt, 0);
  EXPECT_EQ(lostAt - lastReply, DeviceExchange::kSilenceLimit);
  EXPECT_FALSE(ex.connected());
  ASSERT_GE(reopenTicks.size(), 3u);
  EXPECT_LE(reopenTicks[0] - lostAt, DeviceExchange::kReopenPeriodTicks);
  for (std::size_t i = 1; i < reopenTicks.size(); ++i)
    EXPECT_EQ(reopenTicks[i] - reopenTicks[i - 1], DeviceExchange::kReopenPeriodTicks);
  EXPECT_TRUE(port.isOpen());

  // The unit speaks again: the reopened port gets its replies.
  SignalAndSettle(sim, SIGUSR1);
  for (int i = 0; i < 60 && !ex.connected(); ++i, ++tick) TickAndAwait(ex, port, 200);
  EXPECT_TRUE(ex.connected());
  EXPECT_FALSE(ex.view().noConnectionVisible);
}

TEST(ExchangeEndToEnd, AutomaticSearchFindsTheUnitBehindCom5) {
  ScratchDir dir;
  UnitSim sim({"--seed", "5"});
  ASSERT_TRUE(sim.ok());
  std::map<std::string, std::string> ports;
  for (int n = 1; n <= 21; ++n) ports["COM" + std::to_string(n)] = dir.file("missing" + std::to_string(n));
  ports["COM5"] = sim.path();

  ParameterImage image;
  CountingPort port;
  bool openErrorShown = false;
  ExchangeHooks hooks;
  hooks.comOpenError = [&] { openErrorShown = true; };
  DeviceExchange ex(image, port, hooks, [&](int n) { return ComPortPath(n, ports); });
  ex.portSettings().comPort = kComAuto;
  ex.portSettings().scanIndex = 0;
  ex.OpenPort();
  EXPECT_FALSE(port.isOpen());

  int ticks = 0;
  for (; ticks < 60 && !ex.connected(); ++ticks) TickAndAwait(ex, port, 200);
  ASSERT_TRUE(ex.connected()) << ex.view().comLabel;
  EXPECT_EQ(ex.portSettings().scanIndex, 4);
  EXPECT_EQ(ex.view().comLabel, "COM= COM5");
  EXPECT_EQ(ex.view().devicePath, sim.path());
  EXPECT_FALSE(openErrorShown);  // the search never shows the open error
  // Ports that cannot be opened are skipped on consecutive ticks, not every 30.
  EXPECT_LT(ticks, 20);
}

// Many monitor exchanges over a line that corrupts check bytes and puts garbage in front of
// replies. Spoiled replies are dropped and never taken for snapshots; the link is reported
// lost exactly when three monitor replies in a row were spoiled (18 silent ticks) and not
// otherwise.
TEST(ExchangeEndToEnd, LongRunOverANoisyLine) {
  // A line bad enough for runs of three spoiled replies to come a dozen times in 1,500
  // exchanges; bench/long_sweeps.sh runs a longer line.
  const int kExchanges = SweepCount("RQ_SWEEP_EXCHANGES", 1500);
  UnitSim sim({"--corrupt", "0.2", "--garbage", "0.05", "--seed", "11"});
  ASSERT_TRUE(sim.ok());
  ParameterImage image;
  CountingPort port;
  int accepted = 0, badAccepted = 0;
  bool acceptedThisExchange = false;
  ExchangeHooks hooks;
  hooks.monitorAccepted = [&](const FrameBytes& f) {
    ++accepted;
    acceptedThisExchange = true;
    bool sane = FrameValid(f) && f[0] == kCmdMonitorReply && f[150] == kImageVersion;
    for (int i = 70; i < 100; ++i) sane = sane && f[static_cast<std::size_t>(i)] == 0;
    for (int i = 129; i < 150; ++i) sane = sane && f[static_cast<std::size_t>(i)] == 0;
    if (!sane) ++badAccepted;
  };
  DeviceExchange ex(image, port, hooks, [&](int) { return sim.path(); });
  ex.portSettings().comPort = 0;
  ex.OpenPort();
  ASSERT_TRUE(port.isOpen()) << ex.lastOpenError();
  for (int i = 0; i < 100 && !ex.connected(); ++i) TickAndAwait(ex, port, 200);
  ASSERT_TRUE(ex.connected());

  std::vector<bool> spoiled;  // per exchange: the reply was not accepted
  int lossEpisodes = 0;
  bool wasConnected = true;
  int sent = 0;
  const auto started = std::chrono::steady_clock::now();
  acceptedThisExchange = false;
  bool open = false;
  while (sent < kExchanges) {
    const bool didSend = TickAndAwait(ex, port, 500);
    if (didSend) {
      if (open) spoiled.push_back(!acceptedThisExchange);
      open = true;
      acceptedThisExchange = false;
      ++sent;
    }
    if (wasConnected && !ex.connected()) ++lossEpisodes;
    wasConnected = ex.connected();
    ASSERT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(40)) << "hang";
  }

  int tripleRuns = 0, run = 0;
  for (bool s : spoiled) {
    run = s ? run + 1 : 0;
    if (run == 3) ++tripleRuns;
  }
  const auto spoiledCount = std::count(spoiled.begin(), spoiled.end(), true);
  std::printf("%d exchanges: %d accepted, %ld spoiled, %d runs of three, %d losses\n", sent,
              accepted, static_cast<long>(spoiledCount), tripleRuns, lossEpisodes);
  EXPECT_EQ(badAccepted, 0);
  EXPECT_GT(spoiledCount, kExchanges / 50);  // the faults did happen
  EXPECT_LT(spoiledCount, kExchanges / 2);
  EXPECT_GT(tripleRuns, 0);  // the loss was seen at all
  EXPECT_EQ(lossEpisodes, tripleRuns);
}

}  // namespace
}  // namespace rq::e2e
