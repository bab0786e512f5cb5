// SPDX-License-Identifier: GPL-3.0-or-later
// The Tests page: bench commands for the connected unit. A click sets a bit that travels with
// the next monitor request; the buttons are live only while the engine stands.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/device_exchange.h"
#include "pages/page_set.h"

namespace rq {
namespace {

class TestsPage : public BoundPage {
 public:
  TestsPage(PageKit& k, QWidget* page) {
    kit = &k;
    QWidget* top = PageKit::content(page, "TestsContent", 300);
    auto* rows = new QVBoxLayout(top);
    auto* outer = new QHBoxLayout;
    rows->addLayout(outer);
    rows->addStretch();
    auto group = [&](const char* name, const QString& title) {
      QGroupBox* g = PageKit::group(name, title, top);
      outer->addWidget(g);
      return g;
    };
    auto button = [&](QWidget* parent, const char* name, const QString& text, int index) {
      auto* b = new QPushButton(text, parent);
      b->setObjectName(name);
      b->setMinimumHeight(32);
      QObject::connect(b, &QPushButton::clicked, b,
                       [this, index] { kit->workspace().exchange().queueTest(index); });
      buttons_[static_cast<std::size_t>(index)] = b;
      return b;
    };

    QGroupBox* ign = group("GroupBoxTestIgn", "Ignition");
    auto* iv = new QVBoxLayout(ign);
    iv->addWidget(button(ign, "ButtonTestIgn1", "Cylinder 1", kTestIgn1));
    iv->addWidget(button(ign, "ButtonTestIgn2", "Cylinder 2", kTestIgn2));

    QGroupBox* pout = group("GroupBoxTestPOut", "Power out");
    auto* pv = new QVBoxLayout(pout);
    const char* names[4] = {"ButtonTestPOut1", "ButtonTestPOut2", "ButtonTestPOut3",
                            "ButtonTestPOut4"};
    for (int i = 0; i < 4; ++i)
      pv->addWidget(button(pout, names[i], QString("Out %1").arg(i + 1), kTestPOut1 + i));

    QGroupBox* rpm = group("GroupBoxTestRpm", "Tachometer output");
    auto* rg = new QGridLayout(rpm);
    rg->addWidget(button(rpm, "ButtonTestRpm", "Rpm", kTestRpm), 0, 0, 1, 3);
    k.row(rg, 1, "LabelTestRpm", "[rpm]", "UpDownTestRpm", rpm, bindings);

    QGroupBox* servo = group("GroupBoxTestServo", "Servo");
    auto* sg = new QGridLayout(servo);
    sg->addWidget(button(servo, "ButtonTestServoPlus", "Servo +", kTestServoPlus), 0, 0, 1, 3);
    sg->addWidget(button(servo, "ButtonTestServoMinus", "Servo -", kTestServoMinus), 1, 0, 1, 3);
    k.row(sg, 2, "LabelTestServo", "Time [ms]", "UpDownTestServo", servo, bindings);
    outer->addStretch();
  }

  // The buttons follow the pick-up flag of every accepted reply, whatever page is shown.
  void monitorAccepted() override {
    const bool stands = !kit->workspace().lastMonitor().anyPickupSignal();
    for (QPushButton* b : buttons_)
      if (b->isEnabled() != stands) b->setEnabled(stands);
  }

 private:
  std::array<QPushButton*, kTestButtons> buttons_{};
};

}  // namespace

std::unique_ptr<PageModule> MakeTestsPage(PageKit& kit, QWidget* page) {
  return std::make_unique<TestsPage>(kit, page);
}

}  // namespace rq
