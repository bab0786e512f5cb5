// SPDX-License-Identifier: GPL-3.0-or-later
// The window against the unit simulator on a pseudo-terminal, through the real port layer:
// reading the unit's configuration with F7 and programming it with F9.
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

#include "app/demo_unit.h"
#include "model/defaults.h"
#include "model/state_file.h"
#include "support.h"

#ifdef RQ_SIM_PROGRAM

namespace rq::test {
namespace {

// A configuration that differs from the defaults in places the consistency pass leaves alone.
ParameterImage KnownConfiguration(int seed) {
  ParameterImage image = NewConfiguration();
  for (int r = 0; r < 5; ++r) image.setByte(181 + 15 * 5 + 5 + r, 20 + r + seed);  // map 1 cells
  image.setByte(kPowerMode[0], 1);        // power output 1: fuel pump
  image.setByte(135, 90 + seed);  // carried unchanged
  SanitizeImage(image);
  return image;
}

class EndToEnd : public ::testing::Test {
 protected:
  // Starts the simulator with the given configuration and maps COM1 to it.
  void startUnit(const ParameterImage& config) {
    const QString file = cfg_.path("unit.state");
    std::ofstream(file.toStdString()) << WriteStateText(config, AllFlags{});
    QString error;
    ASSERT_TRUE(unit_.start({"--image", file, "--engine", "off"}, error, 5000, RQ_SIM_PROGRAM))
        << error.toStdString();
    cfg_.writeSettings(PortsSection(unit_.devicePath().toStdString()));
  }
  // Shows the window, presses the key and waits for the status text.
  static bool pressAndWait(FormHlavPeer& form, Qt::Key key, const QString& status) {
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form)) return false;
    QTest::keyClick(&form, key);
    auto* label = form.findChild<QLabel*>("LabelHlaseni");
    return TickUntil(form, [&] { return label->text() == status; }, 20000);
  }
  static ParameterImage stateFile(const TempConfig& cfg) {
    ParameterImage image;
    AllFlags flags{};
    EXPECT_EQ(ParseStateText(cfg.readState(), image, flags), kConfigSize + kPageCount);
    return image;
  }

  TempConfig cfg_;
  DemoUnit unit_;
};

TEST_F(EndToEnd, F7ReadsTheUnitAndTheStateFileKeepsItsConfiguration) {
  const ParameterImage known = KnownConfiguration(0);
  ASSERT_FALSE(known.sameConfig(NewConfiguration()));
  startUnit(known);
  {
    Window w;
    ASSERT_TRUE(w.messages.empty());
    ASSERT_TRUE(pressAndWait(*w.form, Qt::Key_F7, "Verify:: OK"));
    EXPECT_EQ(w.form->image().byte(kIdentOffset + kIdentVersionOffset), kImageVersion);
    EXPECT_TRUE(w.form->findChild<QLabel*>("LabelSpojeni")->isHidden());
    w.form->close();
  }
  EXPECT_TRUE(stateFile(cfg_).sameConfig(known));
}

TEST_F(EndToEnd, F9ProgramsTheWindowsConfigurationIntoTheUnit) {
  const ParameterImage wanted = KnownConfiguration(3);
  startUnit(NewConfiguration());
  cfg_.writeState(WriteStateText(wanted, AllFlags{}));
  {
    Window w;
    ASSERT_TRUE(w.form->image().sameConfig(wanted));
    ASSERT_TRUE(pressAndWait(*w.form, Qt::Key_F9, "Program device:: OK"));
    w.form->close();
  }
  // A fresh window that starts from the defaults reads the programmed configuration back.
  cfg_.writeState(WriteStateText(NewConfiguration(), AllFlags{}));
  Window again;
  ASSERT_TRUE(again.form->image().sameConfig(NewConfiguration()));
  ASSERT_TRUE(pressAndWait(*again.form, Qt::Key_F7, "Verify:: OK"));
  EXPECT_TRUE(again.form->image().sameConfig(wanted));
}

}  // namespace
}  // namespace rq::test

#endif  // RQ_SIM_PROGRAM
