// SPDX-License-Identifier: GPL-3.0-or-later
// The 3-D surface of a map, behind an interface of our own: the one implementation file
// (surface.cpp) is the only one that knows the 3-D library, so changing the library is a
// change of that file. The surface turns with a drag, zooms with the wheel, goes back to the
// standard view on request and reports a click on it as the cell under the mouse. Where no
// OpenGL context can be made (Qt's offscreen platform, a display without GLX or EGL) the
// factory gives a plain placeholder.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <utility>

#include "mapview/map_shape.h"

class QWindow;

namespace rq {

struct SurfaceTitles {
  QString rpm, throttle, value;
  QString unavailable;  // what the placeholder says
  QString rpmUnit;      // after the engine speed of the cell the mouse chose
};

// The marks on the surface; cells as (row, column).
using SurfaceCell = std::pair<int, int>;
struct SurfaceMarks {
  std::optional<SurfaceCell> live;
  std::array<std::uint8_t, kMapCells> trail{};    // 0 none .. kTrailLevels newest
  std::optional<std::array<double, kMapCells>> weights;  // 0..1: the share of the most visited cell
  std::optional<SurfaceCell> replay;
  std::optional<SurfaceCell> selected;
  std::array<bool, kMapCells> broken{};  // beyond the tuner's limits
};

// The camera, for tests: rotations in degrees and the zoom in percent.
struct SurfaceCamera {
  float xRotation = 0, yRotation = 0, zoom = 100;
};

class MapSurface : public QWidget {
 public:
  explicit MapSurface(QWidget* parent) : QWidget(parent) {}
  ~MapSurface() override = default;

  // The map over rpm x throttle; a plane that is not shown empties the surface.
  virtual void showPlane(const MapPlane& plane, const SurfaceTitles& titles) = 0;
  virtual void showMarks(const SurfaceMarks& marks) = 0;
  // Back to the standard rotation and zoom.
  virtual void standardView() = 0;
  virtual SurfaceCamera camera() const = 0;
  // False for the placeholder.
  virtual bool drawsSurface() const = 0;
  // The surface drawn into a picture of `size` (null from the placeholder).
  virtual QImage picture(const QSize& size) = 0;
  // The window the surface is drawn in and takes the mouse in (nullptr for the placeholder).
  virtual QWindow* surfaceWindow() const = 0;

  // A click on the surface (without a drag): the cell of the data point under the mouse.
  std::function<void(int row, int column)> onCellClicked;
};

// The surface, or the placeholder where the platform has no OpenGL display.
MapSurface* MakeMapSurface(QWidget* parent);

}  // namespace rq
