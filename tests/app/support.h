// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the window tests: a private settings folder, a pseudo-terminal standing in
// for the unit's line, monitor frames and a window whose message boxes are recorded.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/app/form_peer.h"
#include "protocol/frame.h"
#include "protocol/monitor_reply.h"

namespace rq::test {

// Root passes every permission check, so a test of a refused permission runs itself again as
// the unprivileged user "nobody" (setpriv). `ran` is false when that is not possible here (the
// test program not reachable for that user, no setpriv); `status` is the child's exit status.
struct UnprivilegedRun {
  bool ran = false;
  int status = -1;
  std::string output;
};
UnprivilegedRun RerunCurrentTestAsNobody();

// A temporary XDG_CONFIG_HOME for one test; the previous value comes back afterwards.
class TempConfig {
 public:
  TempConfig();
  ~TempConfig();
  QString folder() const;  // .../RQ_VTMX4_Kelvora, created
  void writeSettings(const std::string& text) const;
  void writeState(const std::string& text) const;
  void writeMarker(const std::string& text) const;
  std::string readSettings() const;
  std::string readState() const;
  QString path(const QString& name) const { return folder() + "/" + name; }

 private:
  QTemporaryDir dir_;
  std::string saved_;
  bool hadValue_ = false;
};

// The master side of a pseudo-terminal; the window opens the slave as its COM port.
class Pty {
 public:
  Pty();
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  const std::string& slave() const { return slave_; }
  void write(const FrameBytes& frame) const;
  // Discards what the window has sent.
  void drain() const;
  // The complete frames the window has sent since the last call.
  std::vector<FrameBytes> readFrames();

 private:
  int master_ = -1;
  std::string slave_;
  std::vector<std::uint8_t> pending_;
};

// A monitor reply from a unit of this program's image version, unless `s` names another.
inline MonitorSnapshot UnitReply(MonitorSnapshot s) {
  if (s.version == 0) s.version = kImageVersion;
  return s;
}

// Creates a window with recorded message boxes and questions. Questions take the answers
// queued in `answers` (QMessageBox buttons) in turn, Cancel when none is left.
struct Window {
  std::vector<QString> messages;
  std::vector<QString> questions;
  std::deque<int> answers;
  std::function<void(const QString&)> onMessage;  // runs when a message box would open
  std::unique_ptr<FormHlavPeer> form;
  // adjust may change the options before the window is made; by default the manual is looked
  // for in the current folder only, and opening a document fails.
  explicit Window(const QStringList& args = {}, std::optional<std::string> portOverride = {},
                  const std::function<void(FormHlavOptions&)>& adjust = {});
};

// "[PORTS]\nCOM1=<path>\n"
std::string PortsSection(const std::string& path, int com = 1);

// A file's bytes as they are, and a file written with exactly these bytes.
std::string ReadText(const QString& path);
void WriteText(const QString& path, const std::string& text);

// Runs the window's tick (and the event loop) until pred holds or timeoutMs passes.
bool TickUntil(FormHlavPeer& form, const std::function<bool()>& pred, int timeoutMs = 2000,
               const Pty* drain = nullptr);

// What a read-back of `page` must leave of `image` (just refreshed into that page): every
// field as it shows, clamped to its range; every box as 0 or 1; the rpm points of a map
// within their fields' range; the power-output grid bytes rebuilt from their boxes; choices
// as they are.
ParameterImage ReadBackExpected(FormHlavPeer& form, ParameterImage image, int page);

// The widget as it paints itself is mostly pure red (a third of its pixels and more).
bool PaintedRed(QWidget* widget);

// The number of random images a sweep runs: `usual` in the test suite, or the number in the
// environment variable RQ_SWEEP_IMAGES for a long run (bench/pages/long_sweeps.sh).
int SweepImages(int usual);

}  // namespace rq::test
