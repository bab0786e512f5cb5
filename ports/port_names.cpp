// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/port_names.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>

#include "app/form_hlav.h"
#include "ui/qt_text.h"
#include "ui/unit_texts.h"

namespace rq {
namespace {

constexpr const char* kBaseCaption = "rqBaseCaption";

}  // namespace

std::string ComOpenErrorLine(const std::string& comName, const std::string& path,
                             const OpenResult& open, int language) {
  return PortOpenLine(comName, path, open, language);
}

PortNames::PortNames(FormHlav& form) : QObject(&form), form_(form) {
  // Read afresh whenever the menu opens: adapters come and go while the window runs.
  if (auto* menu = form_.findChild<QMenu*>("MenuCom"))
    connect(menu, &QMenu::aboutToShow, this, [this] { updateComMenu(); });
}

void PortNames::updateComMenu() {
  for (int i = 0; i < kComAuto; ++i) {
    auto* a = form_.findChild<QAction*>(QString("MenuComItem%1").arg(i + 1));
    if (a == nullptr) continue;
    QVariant base = a->property(kBaseCaption);
    if (!base.isValid()) {
      base = a->text();
      a->setProperty(kBaseCaption, base);
    }
    const std::string path = form_.comPortPath(i + 1);
    const std::string suffix = PortMenuSuffix(path, DescribePortDevice(path, system));
    const QString text = base.toString() + FromStd(suffix);
    if (a->text() != text) a->setText(text);
  }
}

void PortNames::exchangeViewChanged() {
  const DeviceExchange& x = form_.exchange();
  if (!x.connected()) {
    announced_ = -1;
    return;
  }
  if (x.portSettings().comPort != kComAuto) return;
  const int com = x.portSettings().scanIndex + 1;
  if (com == announced_) return;
  announced_ = com;
  const QString text = FromStd(UnitTextOf(UtPortChosen, form_.language()))
                           .arg(QString("COM%1").arg(com), FromStd(x.view().devicePath));
  if (auto* bar = form_.findChild<QStatusBar*>("StatusBar1")) bar->showMessage(text, 15000);
}

}  // namespace rq

#include "moc_port_names.cpp"
