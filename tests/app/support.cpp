// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace rq::test {
namespace {

void WriteText(const QString& path, const std::string& text) {
  std::ofstream out(path.toStdString(), std::ios::binary);
  out << text;
}

std::string ReadText(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

TempConfig::TempConfig() {
  if (const char* v = std::getenv("XDG_CONFIG_HOME")) {
    hadValue_ = true;
    saved_ = v;
  }
  setenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit().constData(), 1);
  QDir().mkpath(folder());
}

TempConfig::~TempConfig() {
  if (hadValue_) setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
}

QString TempConfig::folder() const { return dir_.path() + "/RQ_VTMX4_Kelvora"; }
void TempConfig::writeSettings(const std::string& text) const {
  WriteText(path("RQ_VTMX4_Kelvora_v79.ini"), text);
}
void TempConfig::writeState(const std::string& text) const {
  WriteText(path("_RQ_VTMX4_Kelvora_v79.ini"), text);
}
void TempConfig::writeMarker(const std::string& text) const { WriteText(path("test_ardelo.txt"), text); }
std::string TempConfig::readSettings() const { return ReadText(path("RQ_VTMX4_Kelvora_v79.ini")); }
std::string TempConfig::readState() const { return ReadText(path("_RQ_VTMX4_Kelvora_v79.ini")); }

Pty::Pty() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
  slave_ = ptsname(master_);
}

Pty::~Pty() {
  if (master_ >= 0) ::close(master_);
}

void Pty::write(const FrameBytes& frame) const {
  std::size_t done = 0;
  while (done < frame.size()) {
    const ssize_t n = ::write(master_, frame.data() + done, frame.size() - done);
    if (n > 0) {
      done += std::size_t(n);
    } else {
      pollfd p{master_, POLLOUT, 0};
      ::poll(&p, 1, 50);
    }
  }
}

void Pty::drain() const {
  std::uint8_t buf[4096];
  while (::read(master_, buf, sizeof buf) > 0) {
  }
}

std::vector<FrameBytes> Pty::readFrames() {
  std::uint8_t buf[4096];
  ssize_t n;
  while ((n = ::read(master_, buf, sizeof buf)) > 0) pending_.insert(pending_.end(), buf, buf + n);
  std::vector<FrameBytes> out;
  std::size_t pos = 0;
  while (pending_.size() - pos >= kFrameSize) {
    if (!FrameValid(std::span<const std::uint8_t>(pending_.data() + pos, kFrameSize))) {
      ++pos;
      continue;
    }
    FrameBytes f;
    std::copy_n(pending_.begin() + std::ptrdiff_t(pos), kFrameSize, f.begin());
    out.push_back(f);
    pos += kFrameSize;
  }
  pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(pos));
  return out;
}

MonitorFrame::MonitorFrame() {
  bytes[0] = kCmdMonitorReply;
  bytes[150] = 79;
}

MonitorFrame& MonitorFrame::word(int k, int value) {
  bytes[std::size_t(2 * k)] = std::uint8_t(value & 0xFF);
  bytes[std::size_t(2 * k + 1)] = std::uint8_t((value >> 8) & 0xFF);
  return *this;
}

MonitorFrame& MonitorFrame::byte(int offset, int value) {
  bytes[std::size_t(offset)] = std::uint8_t(value);
  return *this;
}

FrameBytes MonitorFrame::frame() const {
  FrameBytes f = bytes;
  f[kFrameSize - 1] = FrameCheckByte(f);
  return f;
}

Window::Window(const QStringList& args, std::optional<std::string> portOverride) {
  FormHlavOptions o;
  o.arguments = args;
  o.portOverride = std::move(portOverride);
  o.messageBox = [this](const QString& text) {
    messages.push_back(text);
    if (onMessage) onMessage(text);
  };
  o.askQuestion = [this](const QString& text) {
    questions.push_back(text);
    if (answers.empty()) return int(QMessageBox::Cancel);
    const int a = answers.front();
    answers.pop_front();
    return a;
  };
  o.openDocument = [](const QString&) { return false; };
  form = std::make_unique<FormHlav>(std::move(o));
}

std::string PortsSection(const std::string& path, int com) {
  return "[PORTS]\nCOM" + std::to_string(com) + "=" + path + "\n";
}

int SweepImages(int usual) {
  const char* value = std::getenv("RQ_SWEEP_IMAGES");
  const int n = value != nullptr ? std::atoi(value) : 0;
  return n > 0 ? n : usual;
}

bool TickUntil([[maybe_unused]] FormHlav& form, const std::function<bool()>& pred, int timeoutMs, const Pty* drain) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < timeoutMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (pred()) return true;
    if (drain != nullptr) drain->drain();
    QThread::msleep(5);
  }
  return pred();
}

}  // namespace rq::test
