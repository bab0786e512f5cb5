// SPDX-License-Identifier: GPL-3.0-or-later
// What the map pages show besides the map itself: a face that another room (the ride log)
// fills in. The map pages tell it when the grid and bar show a page with an image; it may put
// its own controls into the bar and paint over the grid.
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

// The face of the program, or nullptr; set by whoever provides it.
inline MapOverlayFace*& MapOverlay() {
  static MapOverlayFace* face = nullptr;
  return face;
}

}  // namespace rq
