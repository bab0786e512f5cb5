// SPDX-License-Identifier: GPL-3.0-or-later
// The map pages' colours: without the options every cell but the live one is in the window
// colour of a field and the live cell alone is lime; the heat colours and the trail are options
// kept in the settings file.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "fake_window.h"
#include "pages/map_options.h"
#include "pages/map_pages.h"

namespace rq::test {
namespace {

class MapColours : public ::testing::Test {
 public:
  // Advance 1 shown, its cells all different, the live cell marked at each tick.
  static void prepare(FakeWindow& w) {
    ParameterImage& im = w.image();
    im.setByte(kMapsUseThrottle, 1);
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c) im.setByte(CellByte(*MapOfPage(kPageAdvance1), r, c), 5 + 3 * c + r);
    for (int c = 0; c < kMapColumns; ++c) im.setWord(MapOfPage(kPageAdvance1)->axis[c], 1000 + 700 * c);
    w.workspace().start({}, kPageAdvance1);
    w.showPage(kPageAdvance1);
  }

 protected:
  void SetUp() override { prepare(w_); }
  MapGrid& grid() { return w_.pages().maps().grid(); }
  QColor base(int r, int c) { return grid().cell(r, c)->palette().color(QPalette::Base); }
  void live(int rpm, int throttle) {
    w_.unit().monitor.rpm = std::uint16_t(rpm);
    w_.unit().monitor.throttle = std::uint16_t(throttle);
    for (int i = 0; i < 200 && !(w_.workspace().connected() && w_.workspace().lastMonitor() == w_.unit().monitor); ++i)
      w_.tick();
    w_.tick();
  }
  QAction* option(const char* name) { return w_.pages().maps().optionsButton()->menu()->findChild<QAction*>(name); }

  FakeWindow w_;
};

TEST_F(MapColours, WithoutTheOptionsOnlyTheLiveCellIsColoured) {
  const QColor window = QApplication::palette().color(QPalette::Base);
  live(3000, 0);
  live(5000, 300);  // the engine moved: a trail lies behind it
  const LiveCell at = ComputeLiveCell(w_.image(), kPageAdvance1, 5000, 300, false);
  ASSERT_TRUE(at.cellMarked);
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c)
      EXPECT_EQ(base(r, c), r == at.row && c == at.column ? kLiveLime : window) << r << "," << c;
  EXPECT_FALSE(w_.pages().maps().heatColours());
  EXPECT_FALSE(w_.pages().maps().trailShown());
}

TEST_F(MapColours, HeatColoursAndTrailAreOptionsKeptInTheSettingsFile) {
  live(3000, 0);
  live(5000, 300);
  option("MenuMapHeatColours")->trigger();
  EXPECT_EQ(w_.ini.intValue(kMapPagesSection, kHeatColoursKey, 0), 1);
  std::set<QRgb> colours;
  for (int c = 0; c < kMapColumns; ++c) colours.insert(base(9, c).rgb());
  EXPECT_GT(colours.size(), 5u);  // cool to warm along the rising row
  option("MenuMapTrail")->trigger();
  EXPECT_EQ(w_.ini.intValue(kMapPagesSection, kTrailKey, 0), 1);
  const LiveCell before = ComputeLiveCell(w_.image(), kPageAdvance1, 3000, 0, false);
  const QColor trail = base(before.row, before.column);
  EXPECT_NE(trail, kLiveLime);
  EXPECT_GT(trail.red(), trail.green());  // orange, far from the lime
  // Both off again: back to the window colour.
  option("MenuMapHeatColours")->trigger();
  option("MenuMapTrail")->trigger();
  EXPECT_EQ(base(before.row, before.column), QApplication::palette().color(QPalette::Base));

  // A settings file with the options on shows them from the first refresh.
  FakeWindow other;
  other.ini.parse("[MAPPAGES]\nHeatColours=1\n");
  prepare(other);
  other.RefreshPages();
  EXPECT_TRUE(other.pages().maps().heatColours());
  EXPECT_FALSE(other.pages().maps().trailShown());
  EXPECT_NE(other.pages().maps().grid().cell(0, 0)->palette().color(QPalette::Base),
            other.pages().maps().grid().cell(9, 14)->palette().color(QPalette::Base));
}

// With a dark desktop palette the digits stay readable: the desktop's own text colour on the
// field colour, black on the lime of the live cell and its rpm point.
TEST(MapColoursDark, DigitsStayReadableOnEveryCellColour) {
  const QPalette saved = QApplication::palette();
  QPalette dark = saved;
  dark.setColor(QPalette::Base, QColor(25, 25, 25));
  dark.setColor(QPalette::Text, QColor(235, 235, 235));
  dark.setColor(QPalette::Window, QColor(40, 40, 40));
  dark.setColor(QPalette::WindowText, QColor(235, 235, 235));
  QApplication::setPalette(dark);
  {
    FakeWindow w;
    MapColours::prepare(w);
    w.unit().monitor.rpm = 5000;
    w.unit().monitor.throttle = 300;
    for (int i = 0; i < 200 && !(w.workspace().connected() && w.workspace().lastMonitor() == w.unit().monitor); ++i)
      w.tick();
    w.tick();
    const LiveCell at = ComputeLiveCell(w.image(), kPageAdvance1, 5000, 300, false);
    ASSERT_TRUE(at.cellMarked);
    MapGrid& grid = w.pages().maps().grid();
    auto readable = [](const QWidget* field) {
      const QPalette p = field->palette();
      return std::abs(p.color(QPalette::Base).lightness() - p.color(QPalette::Text).lightness()) >= 96;
    };
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c) EXPECT_TRUE(readable(grid.cell(r, c))) << r << "," << c;
    EXPECT_TRUE(readable(grid.rpmEdit(at.column)));
    EXPECT_EQ(grid.cell(at.row, at.column)->palette().color(QPalette::Text), QColor(Qt::black));
  }
  QApplication::setPalette(saved);
}

}  // namespace
}  // namespace rq::test
