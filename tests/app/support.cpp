// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "model/parameter_table.h"
#include "pages/controls.h"
#include "pages/power_model.h"

namespace rq::test {
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

Window::Window(const QStringList& args, std::optional<std::string> portOverride,
               const std::function<void(FormHlavOptions&)>& adjust) {
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
  // A question with choices of its own is recorded too, and answered by its last (Cancel).
  o.askChoice = [this](const QString& text, const QStringList& choices) {
    questions.push_back(text);
    return int(choices.size()) - 1;
  };
  o.openDocument = [](const QString&) { return false; };
  o.manualFolders = QStringList();
  if (adjust) adjust(o);
  form = std::make_unique<FormHlavPeer>(std::move(o));
}

std::string PortsSection(const std::string& path, int com) {
  return "[PORTS]\nCOM" + std::to_string(com) + "=" + path + "\n";
}

bool PaintedRed(QWidget* widget) {
  const QImage shot = widget->grab().toImage();
  long red = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) red += shot.pixelColor(x, y) == QColor(255, 0, 0);
  return red * 3 >= long(shot.width()) * shot.height();
}

int SweepImages(int usual) {
  const char* value = std::getenv("RQ_SWEEP_IMAGES");
  const int n = value != nullptr ? std::atoi(value) : 0;
  return n > 0 ? n : usual;
}

bool TickUntil([[maybe_unused]] FormHlavPeer& form, const std::function<bool()>& pred, int timeoutMs, const Pty* drain) {
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

ParameterImage ReadBackExpected(FormHlavPeer& form, ParameterImage e, int page) {
  const bool power = page == kPagePowerOut1 || page == kPagePowerOut2;
  // Both advance pages share one bar; either power-output page stores all four outputs.
  const int rows = page == kPageAdvance2 ? kPageAdvance1 : page;
  for (const ParameterDef& d : ScalarParameters()) {
    if (power ? (d.page != kPagePowerOut1 && d.page != kPagePowerOut2) : d.page != rows) continue;
    if (d.kind == ControlKind::UpDown) {
      const QString name = "Edit" + QString::fromLatin1(d.control).mid(6);
      const auto* field = form.findChild<SpinEdit*>(name);
      if (field == nullptr) continue;
      StoreShown(e, d, std::clamp(ShownValue(e, d), field->minimum(), field->maximum()));
    } else if (d.kind == ControlKind::CheckBox) {
      StoreShown(e, d, ShownValue(e, d) != 0 ? 1 : 0);
    }
  }
  for (const MapDef& m : Maps())
    if (m.page == page)
      for (int c = 0; c < kMapColumns; ++c)
        e.setWord(m.axis[c], std::clamp(int(e[m.axis[c]]), 300, 25000));
  if (power) {
    for (int n = 0; n < kPowerOutputs; ++n)
      for (int k = 0; k < 3; ++k) {
        const int at = kPowerGrid.at(n, k).offset;
        const PowerGrid* forced = ForcedPowerGrid(e[kPowerMode[n]]);
        e.setByte(at, forced != nullptr ? PowerRowByte((*forced)[std::size_t(k)]) : e.byte(at) & 0x0F);
      }
  }
  return e;
}

UnprivilegedRun RerunCurrentTestAsNobody() {
  UnprivilegedRun run;
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return run;
  self[n] = '\0';
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string filter = std::string(test->test_suite_name()) + "." + test->name();
  // nobody must be able to reach the program: every folder on its path searchable.
  if (std::system(("setpriv --reuid=65534 --regid=65534 --clear-groups test -x '" + std::string(self) +
                   "'").c_str()) != 0)
    return run;
  const std::string command = "setpriv --reuid=65534 --regid=65534 --clear-groups '" +
                              std::string(self) + "' --gtest_filter=" + filter + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buf[4096];
  std::size_t got = 0;
  while ((got = std::fread(buf, 1, sizeof buf, pipe)) > 0) run.output.append(buf, got);
  const int status = ::pclose(pipe);
  run.ran = true;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

}  // namespace rq::test
