// SPDX-License-Identifier: GPL-3.0-or-later
// The map surface drawn with Qt Data Visualization, and the placeholder for displays without
// OpenGL. The only file that includes the 3-D library.
#include "mapview/surface.h"

#include "mapview/mark_colours.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DInputHandler>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QCustom3DItem>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>

#include <algorithm>
#include <cmath>
#include <vector>

namespace rq {
namespace {

// The standard view: engine speed rising to the right, throttle rising away from the viewer,
// seen from a little above.
constexpr float kStandardTurn = 40.0f;
constexpr float kStandardLift = 30.0f;
constexpr float kStandardZoom = 85.0f;
constexpr float kDegreesPerPixel = 0.4f;
constexpr int kClickSlop = 4;  // pixels the mouse may move and still click

QImage Swatch(const QColor& colour) {
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// Left drag turns, a click without a drag asks for the point under the mouse, the wheel zooms
// (the library's own handling); the other buttons keep theirs.
class TurnAndPick : public Q3DInputHandler {
 public:
  using Q3DInputHandler::Q3DInputHandler;

  void mousePressEvent(QMouseEvent* event, const QPoint& pos) override {
    if (event->button() != Qt::LeftButton) {
      Q3DInputHandler::mousePressEvent(event, pos);
      return;
    }
    pressed_ = true;
    dragged_ = false;
    start_ = last_ = pos;
  }
  void mouseMoveEvent(QMouseEvent* event, const QPoint& pos) override {
    if (!pressed_) {
      Q3DInputHandler::mouseMoveEvent(event, pos);
      return;
    }
    if ((pos - start_).manhattanLength() > kClickSlop) dragged_ = true;
    if (dragged_) {
      Q3DCamera* camera = scene()->activeCamera();
      const QPoint d = pos - last_;
      camera->setXRotation(camera->xRotation() - kDegreesPerPixel * float(d.x()));
      camera->setYRotation(std::clamp(camera->yRotation() + kDegreesPerPixel * float(d.y()), 0.0f, 90.0f));
    }
    last_ = pos;
  }
  void mouseReleaseEvent(QMouseEvent* event, const QPoint& pos) override {
    if (!pressed_ || event->button() != Qt::LeftButton) {
      Q3DInputHandler::mouseReleaseEvent(event, pos);
      return;
    }
    pressed_ = false;
    if (!dragged_) scene()->setSelectionQueryPosition(pos);
  }

 private:
  bool pressed_ = false;
  bool dragged_ = false;
  QPoint start_, last_;
};

class DataVisSurface : public MapSurface {
 public:
  explicit DataVisSurface(QWidget* parent) : MapSurface(parent), graph_(new Q3DSurface) {
    graph_->setActiveInputHandler(new TurnAndPick(graph_));
    graph_->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    graph_->setSelectionMode(QAbstract3DGraph::SelectionItem);
    // Rpm and throttle as long as each other whatever their ranges; the value a little lower.
    graph_->setHorizontalAspectRatio(1.0);
    graph_->setAspectRatio(1.4);
    graph_->activeTheme()->setType(Q3DTheme::ThemeQt);
    graph_->activeTheme()->setSingleHighlightColor(QColor(40, 40, 200));
    graph_->activeTheme()->setLabelBackgroundEnabled(false);
    graph_->setAxisX(new QValue3DAxis);
    graph_->setAxisY(new QValue3DAxis);
    graph_->setAxisZ(new QValue3DAxis);
    graph_->axisX()->setLabelFormat("%d");
    graph_->axisY()->setLabelFormat("%d");
    graph_->axisZ()->setLabelFormat("%d");
    graph_->axisZ()->setRange(0, 100);
    series_ = new QSurface3DSeries(new QSurfaceDataProxy);
    series_->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
    series_->setFlatShadingEnabled(true);
    // Cool to warm over the map's own range, without green: lime is the live point's.
    QLinearGradient gradient;
    gradient.setColorAt(0.0, QColor(60, 110, 230));
    gradient.setColorAt(0.5, QColor(235, 235, 235));
    gradient.setColorAt(1.0, QColor(230, 80, 60));
    series_->setBaseGradient(gradient);
    series_->setColorStyle(Q3DTheme::ColorStyleObjectGradient);
    series_->setMeshSmooth(true);
    graph_->addSeries(series_);
    QObject::connect(series_, &QSurface3DSeries::selectedPointChanged, this, [this](const QPoint& p) {
      if (placing_ || p == QSurface3DSeries::invalidSelectionPosition()) return;
      if (onCellClicked) onCellClicked(p.x(), p.y());
    });
    container_ = QWidget::createWindowContainer(graph_, this);
    container_->setObjectName("MapSurface3D");
    container_->setMinimumSize(200, 150);
    container_->setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(container_);
    standardView();
  }

  void showPlane(const MapPlane& plane, const SurfaceTitles& titles) override {
    graph_->axisX()->setTitle(titles.rpm);
    graph_->axisY()->setTitle(titles.value);
    graph_->axisZ()->setTitle(titles.throttle);
    for (QAbstract3DAxis* axis : {static_cast<QAbstract3DAxis*>(graph_->axisX()),
                                  static_cast<QAbstract3DAxis*>(graph_->axisY()),
                                  static_cast<QAbstract3DAxis*>(graph_->axisZ())}) {
      axis->setTitleVisible(true);
      // Titles and labels turn toward the viewer, so that they read the right way round from
      // every side.
      axis->setTitleFixed(false);
      axis->setLabelAutoRotation(90);
    }
    series_->setItemLabelFormat("@xLabel " + titles.rpmUnit + ", @zLabel %: @yLabel");
    plane_ = plane;
    series_->setVisible(plane.shown);
    if (!plane.shown) return;
    // The rpm axis from its first to its last point, the value axis from 0 to the maximum.
    graph_->axisX()->setRange(float(plane.rpm.front()), float(std::max(plane.rpm.back(), plane.rpm.front() + 1)));
    graph_->axisY()->setRange(0, float(plane.top));
    auto* rows = new QSurfaceDataArray;
    rows->reserve(kMapRows);
    for (int r = 0; r < kMapRows; ++r) {
      auto* row = new QSurfaceDataRow(kMapColumns);
      for (int c = 0; c < kMapColumns; ++c)
        (*row)[c].setPosition(QVector3D(float(plane.rpm[std::size_t(c)]), float(plane.at(r, c)),
                                        float(kThrottleRows[r])));
      rows->append(row);
    }
    placing_ = true;
    series_->dataProxy()->resetArray(rows);
    placing_ = false;
    placeMarks();
  }

  void showMarks(const SurfaceMarks& marks) override {
    marks_ = marks;
    placeMarks();
  }

  void standardView() override {
    graph_->scene()->activeCamera()->setCameraPosition(kStandardTurn, kStandardLift, kStandardZoom);
  }

  SurfaceCamera camera() const override {
    const Q3DCamera* c = graph_->scene()->activeCamera();
    return {c->xRotation(), c->yRotation(), c->zoomLevel()};
  }

  bool drawsSurface() const override { return true; }
  QImage picture(const QSize& size) override { return graph_->renderToImage(0, size); }
  QWindow* surfaceWindow() const override { return graph_; }

 private:
  QVector3D positionOf(const SurfaceCell& cell, float lift) const {
    const auto [r, c] = cell;
    return {float(plane_.rpm[std::size_t(c)]), float(plane_.at(r, c)) + lift, float(kThrottleRows[r])};
  }

  // The spheres of one kind of mark, kept between calls and moved: a reply moves the live
  // point without building anything. Each kind has its colour from the start (the library
  // takes an item's texture when the item is added).
  struct Pool {
    QColor colour;
    std::vector<QCustom3DItem*> items;
    std::size_t used = 0;
  };
  void put(Pool& pool, const SurfaceCell& cell, float size) {
    if (pool.used == pool.items.size()) {
      auto* item = new QCustom3DItem(":/defaultMeshes/sphereSmooth", QVector3D(), QVector3D(size, size, size),
                                     QQuaternion(), Swatch(pool.colour));
      item->setShadowCasting(false);
      graph_->addCustomItem(item);
      pool.items.push_back(item);
    }
    QCustom3DItem* item = pool.items[pool.used++];
    item->setPosition(positionOf(cell, float(plane_.top) * 0.01f));
    item->setScaling(QVector3D(size, size, size));
    if (!item->isVisible()) item->setVisible(true);
  }

  void placeMarks() {
    for (Pool* pool : {&live_, &trail_, &weights_, &replay_, &broken_}) pool->used = 0;
    if (plane_.shown) {
      if (marks_.weights) {
        for (int i = 0; i < kMapCells; ++i) {
          const double w = (*marks_.weights)[std::size_t(i)];
          if (w > 0) put(weights_, {i / kMapColumns, i % kMapColumns}, 0.02f + 0.05f * float(std::sqrt(w)));
        }
      }
      for (int i = 0; i < kMapCells; ++i) {
        const int level = marks_.trail[std::size_t(i)];
        if (level > 0) put(trail_, {i / kMapColumns, i % kMapColumns}, 0.015f + 0.004f * float(level));
      }
      if (marks_.replay) put(replay_, *marks_.replay, 0.065f);
      for (int i = 0; i < kMapCells; ++i)
        if (marks_.broken[std::size_t(i)]) put(broken_, {i / kMapColumns, i % kMapColumns}, 0.045f);
      if (marks_.live) put(live_, *marks_.live, 0.06f);
    }
    for (Pool* pool : {&live_, &trail_, &weights_, &replay_, &broken_})
      for (std::size_t i = pool->used; i < pool->items.size(); ++i)
        if (pool->items[i]->isVisible()) pool->items[i]->setVisible(false);
    // The grid's selection as the surface's selected point.
    const QPoint selected = marks_.selected && plane_.shown
                                ? QPoint(marks_.selected->first, marks_.selected->second)
                                : QSurface3DSeries::invalidSelectionPosition();
    if (series_->selectedPoint() != selected) {
      placing_ = true;
      series_->setSelectedPoint(selected);
      placing_ = false;
    }
  }

  Q3DSurface* graph_;
  QSurface3DSeries* series_ = nullptr;
  QWidget* container_ = nullptr;
  MapPlane plane_;
  SurfaceMarks marks_;
  Pool live_{kMarkLive, {}, 0};
  Pool trail_{kMarkTrail, {}, 0};
  Pool weights_{kMarkWeight, {}, 0};
  Pool replay_{kMarkReplay, {}, 0};
  Pool broken_{kMarkBroken, {}, 0};
  bool placing_ = false;  // the selection is being set from the grid, not by a click
};

// Where there is no OpenGL display: a note in place of the surface.
class SurfacePlaceholder : public MapSurface {
 public:
  explicit SurfacePlaceholder(QWidget* parent) : MapSurface(parent), note_(new QLabel(this)) {
    note_->setObjectName("LabelMapSurfaceUnavailable");
    note_->setAlignment(Qt::AlignCenter);
    note_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note_);
  }
  void showPlane(const MapPlane&, const SurfaceTitles& titles) override { note_->setText(titles.unavailable); }
  void showMarks(const SurfaceMarks&) override {}
  void standardView() override {}
  SurfaceCamera camera() const override { return {}; }
  bool drawsSurface() const override { return false; }
  QImage picture(const QSize&) override { return {}; }
  QWindow* surfaceWindow() const override { return nullptr; }

 private:
  QLabel* note_;
};

// The 3-D library crashes where no OpenGL context can be made (Qt's offscreen platform, or an X
// display without GLX or EGL, such as a desktop whose OpenGL drivers are missing): asked once.
bool OpenGlContextAvailable() {
  static const bool available = [] {
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal") return false;
    QOpenGLContext context;
    return context.create();
  }();
  return available;
}

}  // namespace

MapSurface* MakeMapSurface(QWidget* parent) {
  if (!OpenGlContextAvailable()) return new SurfacePlaceholder(parent);
  return new DataVisSurface(parent);
}

}  // namespace rq
