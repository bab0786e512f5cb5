// SPDX-License-Identifier: GPL-3.0-or-later
// rq_exchange_trace: the bytes the window sends to the unit in a fixed session, for comparing
// two builds of the window (a change that must not change what goes over the wire). The
// window talks through a pseudo-terminal to a scripted unit that answers every request at
// once; the session: connect, Read, one map cell raised, Program, Verify, and File › Save. It
// prints one line per frame sent (hex) and the .ign text saved, or with --digest only a
// checksum of each.
#include <QApplication>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../../tests/link/scripted_port.h"
#include "app/file_commands.h"
#include "tests/app/form_peer.h"
#include "bench/common/bench_support.h"
#include "bench/common/usage.h"
#include "model/map_model.h"

namespace {

std::uint64_t Fnv(const std::string& s) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

class Line {
 public:
  Line() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master_);
    unlockpt(master_);
    slave_ = ptsname(master_);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~Line() { ::close(master_); }
  const std::string& slave() const { return slave_; }
  // Frames the window sent since the last call (whole frames only).
  std::vector<rq::FrameBytes> frames() {
    std::uint8_t buf[4096];
    for (ssize_t n; (n = ::read(master_, buf, sizeof buf)) > 0;) pending_.insert(pending_.end(), buf, buf + n);
    std::vector<rq::FrameBytes> out;
    while (pending_.size() >= rq::kFrameSize) {
      rq::FrameBytes f{};
      std::copy_n(pending_.begin(), rq::kFrameSize, f.begin());
      pending_.erase(pending_.begin(), pending_.begin() + rq::kFrameSize);
      out.push_back(f);
    }
    return out;
  }
  void write(const rq::FrameBytes& f) const {
    if (::write(master_, f.data(), f.size()) != ssize_t(f.size())) std::perror("write");
  }

 private:
  int master_ = -1;
  std::string slave_;
  std::vector<std::uint8_t> pending_;
};

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_exchange_trace [--digest]\n"
          "The frames the window sends in a fixed session (connect, Read, one cell raised,\n"
          "Program, Verify, Save) and the .ign text saved; --digest prints only a digest of\n"
          "them.\n"))
    return 0;
  const bool digest = argc > 1 && std::strcmp(argv[1], "--digest") == 0;
  rq::bench::UseOffscreenWithoutDisplay();
  QApplication app(argc, argv);
  const rq::bench::PrivateSettings settings;
  QTemporaryDir folder;
  Line line;
  rq::test::FakeUnit unit;
  unit.monitor.rpm = 3000;
  unit.monitor.throttle = 400;

  rq::FormHlavOptions options;
  options.portOverride = line.slave();
  options.messageBox = [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); };
  options.askQuestion = [](const QString&) { return 0; };
  rq::FormHlavPeer form(std::move(options));

  std::vector<std::string> sent;
  auto tick = [&] {
    form.Timer1Timer();
    for (const rq::FrameBytes& f : line.frames()) {
      std::string hex;
      char b[4];
      for (std::uint8_t c : f) {
        std::snprintf(b, sizeof b, "%02x", c);
        hex += b;
      }
      sent.push_back(hex);
      if (auto reply = unit.respond(f)) line.write(*reply);
    }
    usleep(2000);  // the reply reaches the window's side of the line before the next tick
  };
  auto untilIdle = [&] {
    for (int i = 0; i < 400 && (i < 2 || form.exchange().busy()); ++i) tick();
  };
  for (int i = 0; i < 60 && !form.connected(); ++i) tick();
  form.MenuReadClick();
  untilIdle();
  const rq::MapDef& map = rq::Maps()[0];
  form.workspace().change(
      [&map](rq::ParameterImage& im) { im.setByte(rq::CellByte(map, 6, 9), im.byte(rq::CellByte(map, 6, 9)) + 1); },
      form.currentPage());
  form.MenuProgramClick();
  untilIdle();
  form.MenuVerifyClick();
  untilIdle();
  const QString path = folder.filePath("session.ign");
  form.fileCommands().SaveConfigurationFile(path);
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::stringstream ign;
  ign << in.rdbuf();

  if (digest) {
    std::string all;
    for (const std::string& s : sent) all += s + "\n";
    std::printf("frames %zu, digest %016llx; .ign %zu bytes, digest %016llx\n", sent.size(),
                static_cast<unsigned long long>(Fnv(all)), ign.str().size(),
                static_cast<unsigned long long>(Fnv(ign.str())));
  } else {
    for (const std::string& s : sent) std::printf("%s\n", s.c_str());
    std::printf("%s", ign.str().c_str());
  }
  return 0;
}
