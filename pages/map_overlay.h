// SPDX-License-Identifier: GPL-3.0-or-later
// What the map pages show besides the map itself: faces that other rooms (the ride log, the
// limits) fill in. The map pages tell each when the grid and bar show a page with an image; it
// may put its own controls into the bar and paint over the grid.
#pragma once

class QWidget;

namespace rq {

class MapGrid;
class ParameterImage;

class MapOverlayFace {
 public:
  virtual ~MapOverlayFace() = default;
  // The grid and bar now show map page `page` (2, 3 or 4) of `image`: after a refresh, a
  // change of rules or a change of page. The bar is free from `barLeft` on to the right of
  // the page's own controls on its left.
  virtual void showOn(int page, const ParameterImage& image, MapGrid& grid, QWidget* bar,
                      int barLeft) = 0;
};

}  // namespace rq
