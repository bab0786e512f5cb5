// SPDX-License-Identifier: GPL-3.0-or-later
// The log viewer on its own for tests: a session of its own, the viewer shown and active (its
// F3 shortcuts belong to the active window), a log parsed from text, controls by name.
#pragma once

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

#include "logs/log_plot.h"
#include "logs/log_session.h"
#include "logs/log_viewer.h"

namespace rq::test {

inline logs::LogTable ParseLogText(const std::string& text) {
  logs::LoadResult r = logs::ParseCsvText(text);
  EXPECT_TRUE(r.ok()) << r.error.message;
  return std::move(*r.table);
}

struct ViewerWindow {
  logs::LogSession session;
  logs::LogViewer viewer{session};
  ViewerWindow() {
    viewer.resize(1200, 800);
    viewer.show();
    viewer.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&viewer));
  }
  logs::LogPlot& plot() { return *viewer.plot(); }
  // The legend text of trace k of plot p.
  QString legend(int p, int k = 0) { return plot().trace(std::size_t(p), std::size_t(k))->name(); }
  int xOf(double t) { return int(plot().axisRects().at(0)->axis(QCPAxis::atBottom)->coordToPixel(t)); }
  template <class W>
  W* get(const char* name) {
    W* w = viewer.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
};

}  // namespace rq::test
