// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/port_names.h"

#include <QAction>
#include <QMenu>

#include "ui/qt_text.h"
#include "ui/unit_texts.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq {
namespace {

constexpr const char* kBaseCaption = "rqBaseCaption";

}  // namespace

std::string ComOpenErrorLine(const std::string& comName, const std::string& path,
                             const OpenResult& open, int language) {
  return PortOpenLine(comName, path, open, language);
}

PortNames::PortNames(Workspace& workspace, WindowFace& window, const ComMenu& com)
    : QObject(window.dialogParent()), ws_(workspace), window_(window), com_(com) {
  // Read afresh whenever the menu opens: adapters come and go while the window runs.
  if (com_.menu != nullptr)
    connect(com_.menu, &QMenu::aboutToShow, this, [this] { updateComMenu(); });
  connect(&ws_, &Workspace::linkChanged, this, [this] { exchangeViewChanged(); });
}

void PortNames::updateComMenu() {
  for (int i = 0; i < kComAuto; ++i) {
    QAction* a = com_.items[std::size_t(i)];
    if (a == nullptr) continue;
    QVariant base = a->property(kBaseCaption);
    if (!base.isValid()) {
      base = a->text();
      a->setProperty(kBaseCaption, base);
    }
    const std::string path = ws_.portPath(i + 1);
    const std::string suffix = PortMenuSuffix(path, DescribePortDevice(path, system), ws_.language());
    const QString text = base.toString() + FromStd(suffix);
    if (a->text() != text) a->setText(text);
  }
}

void PortNames::exchangeViewChanged() {
  const DeviceExchange& x = ws_.exchange();
  if (!x.connected()) {
    announced_ = -1;
    return;
  }
  if (x.portSettings().comPort != kComAuto) return;
  const int com = x.portSettings().scanIndex + 1;
  if (com == announced_) return;
  announced_ = com;
  const QString text = FromStd(UnitTextOf(UtPortChosen, ws_.language()))
                           .arg(QString("COM%1").arg(com), FromStd(x.view().devicePath));
  window_.showNote(text, 15000);
}

}  // namespace rq

#include "moc_port_names.cpp"
