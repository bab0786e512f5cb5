// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the window benchmarks: CPU time of this thread, simple statistics, and a
// private settings folder for a window that talks to the demo unit.
#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace rq::bench {

inline double ThreadCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

inline double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

inline double Mean(const std::vector<double>& v) {
  double s = 0;
  for (double x : v) s += x;
  return v.empty() ? 0 : s / double(v.size());
}

// Without a display the benchmarks run on Qt's offscreen platform. Call before QApplication.
inline void UseOffscreenWithoutDisplay() {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

// XDG_CONFIG_HOME pointed at a temporary folder whose settings file names the automatic port
// search, so the user's own files are never touched.
class PrivateSettings {
 public:
  PrivateSettings() {
    const QString folder = home_.path() + "/RQ_VTMX4_Kelvora";
    QDir().mkpath(folder);
    std::ofstream(folder.toStdString() + "/RQ_VTMX4_Kelvora_v79.ini") << "[BASIC]\nComPort=21\n";
    setenv("XDG_CONFIG_HOME", home_.path().toLocal8Bit().constData(), 1);
  }

 private:
  QTemporaryDir home_;
};

}  // namespace rq::bench
