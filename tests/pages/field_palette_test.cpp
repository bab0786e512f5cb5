// SPDX-License-Identifier: GPL-3.0-or-later
// The palettes the style draws fields with: a field recoloured back and forth, and the map grid
// recoloured over and over, reach the style with the same few palette identities, so the
// style's picture cache (keyed by them) does not grow with every recolour.
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComplex>

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "pages/controls.h"
#include "pages/map_grid.h"

namespace rq::test {
namespace {

// The application's style, noting the palette of every spin box it draws.
class PaletteRecorder : public QProxyStyle {
 public:
  PaletteRecorder() : QProxyStyle(QStyleFactory::create("Fusion")) {}
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    if (control == CC_SpinBox) {
      keys.insert(option->palette.cacheKey());
      bases.insert(option->palette.color(QPalette::Base).rgb());
      groups.insert(option->palette.currentColorGroup());
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
  }
  void clear() {
    keys.clear();
    bases.clear();
    groups.clear();
  }
  mutable std::set<qint64> keys;
  mutable std::set<QRgb> bases;
  mutable std::set<QPalette::ColorGroup> groups;
};

void SetBase(QWidget* w, const QColor& colour) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Base, colour);
  w->setPalette(pal);
}

TEST(FieldPaletteTest, AFieldRecolouredBackAndForthIsDrawnWithOnePalettePerColour) {
  PaletteRecorder style;
  auto edit = std::make_unique<SpinEdit>();
  edit->setStyle(&style);
  edit->resize(60, 24);
  edit->show();
  const QColor colours[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
  for (int round = 0; round < 20; ++round) {
    for (const QColor& c : colours) {
      SetBase(edit.get(), c);
      edit->grab();
    }
  }
  // Drawn in its colours, and with three palettes, not sixty.
  EXPECT_EQ(style.bases, (std::set<QRgb>{colours[0].rgb(), colours[1].rgb(), colours[2].rgb()}));
  EXPECT_EQ(style.keys.size(), 3u);
  EXPECT_EQ(style.groups, std::set<QPalette::ColorGroup>{edit->palette().currentColorGroup()});

  // A disabled field is drawn in its disabled colours, whichever palette it shares.
  style.clear();
  edit->setEnabled(false);
  edit->grab();
  EXPECT_EQ(style.groups, std::set<QPalette::ColorGroup>{QPalette::Disabled});
  EXPECT_EQ(style.bases, std::set<QRgb>{edit->palette().color(QPalette::Disabled, QPalette::Base).rgb()});
  edit.reset();
}

TEST(FieldPaletteTest, TheMapGridRecolouredOverAndOverDrawsNoNewPalettes) {
  PaletteRecorder style;
  auto parent = std::make_unique<QWidget>();
  parent->resize(980, 380);
  MapGrid& grid = *new MapGrid(parent.get());  // the parent's child
  grid.setHeatColours(true);                      // the value colours are an option
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      grid.cell(r, c)->setStyle(&style);
      grid.showCell(r, c, (r * kMapColumns + c) % 60, 1, 255);
    }
  }
  parent->show();
  // One round: value colours over two ranges, a selection over every cell and back.
  auto round = [&] {
    grid.setColourRange(0, 59);
    grid.box()->grab();
    grid.select({0, 0, kMapRows - 1, kMapColumns - 1});
    grid.box()->grab();
    grid.select({9, 0, 9, 0});
    grid.setColourRange(10, 40);
    grid.box()->grab();
  };
  round();
  const std::size_t palettes = style.keys.size();
  EXPECT_GT(palettes, 60u);  // the colours really changed
  for (int k = 0; k < 10; ++k) round();
  EXPECT_EQ(style.keys.size(), palettes);
  parent.reset();
}

TEST(FieldPaletteTest, ColoursWithoutEndStartTheTableAfresh) {
  const QPalette base;
  QPalette first = base;
  first.setColor(QPalette::Base, QColor(1, 2, 3));
  // The same colours share one palette, whichever copy asks.
  QPalette again = base;
  again.setColor(QPalette::Base, QColor(1, 2, 3));
  EXPECT_NE(first.cacheKey(), again.cacheKey());
  EXPECT_EQ(SharedPalette(first).cacheKey(), SharedPalette(again).cacheKey());

  bool startedAfresh = false;
  for (std::size_t i = 0; i <= kSharedPalettes; ++i) {
    QPalette p = base;
    p.setColor(QPalette::Base, QColor::fromRgb(QRgb(0xFF000000u | (0x400000u + i))));
    const std::size_t before = SharedPaletteCount();
    EXPECT_EQ(SharedPalette(p).color(QPalette::Base), p.color(QPalette::Base));
    ASSERT_LE(SharedPaletteCount(), kSharedPalettes);
    if (SharedPaletteCount() < before) startedAfresh = true;
  }
  EXPECT_TRUE(startedAfresh);
}

}  // namespace
}  // namespace rq::test
