// SPDX-License-Identifier: GPL-3.0-or-later
// The map view in the whole window: its key is no other item's, it opens from the Tools menu,
// and the settings it wrote while the window ran are in the settings file after the window
// closed.
#include <QAction>
#include <QMap>
#include <QMenuBar>

#include <gtest/gtest.h>

#include "tests/app/form_peer.h"
#include "mapview/map_view.h"
#include "mapview/map_view_window.h"
#include "model/ini_file.h"
#include "support.h"

namespace rq::test {
namespace {

TEST(MapViewInTheWindow, ItsKeyIsNoOtherItemsAndItOpensFromTheToolsMenu) {
  TempConfig cfg;
  {
    Window w;
    QMap<QString, QStringList> byKey;
    for (const QAction* a : w.form->findChildren<QAction*>())
      if (!a->shortcut().isEmpty()) byKey[a->shortcut().toString()] << a->objectName();
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
      EXPECT_EQ(it.value().size(), 1) << it.key().toStdString() << ": " << it.value().join(", ").toStdString();
    auto* item = w.form->findChild<QAction*>("MenuMapView");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    item->trigger();
    ASSERT_NE(w.form->mapView().view(), nullptr);
    EXPECT_TRUE(w.form->mapView().view()->isVisible());
    w.form->mapView().setMode(ViewMode::CurvesOverThrottle);
    w.form->close();
  }
  IniFile ini;
  ini.parse(cfg.readSettings());
  EXPECT_EQ(ini.intValue(kMapViewSection, "Mode", -1), 1);
  EXPECT_GT(ini.intValue(kMapViewSection, "Width", 0), 0);
}

}  // namespace
}  // namespace rq::test
