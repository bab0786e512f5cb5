// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: the main window, the About window, the message loop.
//
// Options of the program itself (taken out before the language argument is looked at):
//   --help                 print the options and end, without opening the window
//   --demo                 run against the unit simulator on a pseudo-terminal
//   --demo-ab              the same, the simulator riding its A/B ride
//   --screenshot FILE      save a picture of the window after --after-ms (default 3000) and end
//   --page N               show page N first (with --screenshot)
//   --version              print the program version and the build date, and end
// Any other argument that is not a language word names a configuration file to open; one
// that names no existing file is reported on stderr and changes nothing.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "app/demo_unit.h"
#include "app/form_hlav.h"
#include "app/open_file.h"
#include "app/signal_close.h"
#include "logs/log_room.h"
#include "logs/ride_recording.h"

namespace {

// Prints one line when the window has first been painted; the start-up benchmark waits for it.
class ShownAnnouncer : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      std::fputs("window-shown\n", stdout);
      std::fflush(stdout);
      watched->removeEventFilter(this);
    }
    return false;
  }
};

// Leaves every running event loop once the watched window has closed.
class QuitAfterClose : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close)
      QTimer::singleShot(0, this, [window = qobject_cast<QWidget*>(watched)] {
        if (window == nullptr || !window->isVisible()) QCoreApplication::exit(0);
      });
    return false;
  }
};

constexpr const char* kHelp =
    "usage: rq_vtmx4 [LANGUAGE] [FILE.ign ...] [--demo | --demo-ab] [--record] [--log FILE.csv]\n"
    "                [--screenshot FILE [--page N] [--after-ms MS]]\n"
    "The configuration tool of the RQ_VTMX4 ignition unit.\n"
    "  LANGUAGE           ENGLISH, DEUTSCH, FRANCE or CESKY: the language to start in\n"
    "  --demo             use a simulated unit on a pseudo-terminal for this run; the saved\n"
    "                     port and configuration are left as they are\n"
    "  --demo-ab          the same, the simulated bike riding A/B pulls: its input 2 switches\n"
    "                     the second advance map between pulls (read the unit to see it)\n"
    "  --screenshot FILE  save a picture of the window after --after-ms milliseconds\n"
    "                     (default 3000), then close it\n"
    "  --page N           show page N (0 Bike ... 10 Monitor) first\n"
    "  --record           start recording a ride log at once (Ignition > Record ride log)\n"
    "  --log FILE.csv     open a ride log in the log viewer\n"
    "  FILE.ign           a configuration file to open, as File > Open does\n"
    "  --version          print the program version and build date and end\n"
    "  --help             print this text and end\n"
    "Settings and the last configuration are kept in $XDG_CONFIG_HOME/RQ_VTMX4_Kelvora/\n"
    "(~/.config/RQ_VTMX4_Kelvora/). SIGTERM, SIGINT and SIGHUP close the window like\n"
    "File > Exit.\n";

}  // namespace

int main(int argc, char** argv) {
  // Options that end the program before the window exists, answered before the application
  // starts so that they work without a display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("rq_vtmx4 version %d, built %s %s\n", rq::kImageVersion, __DATE__, __TIME__);
      return 0;
    }
  }

  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName("rq_vtmx4");
  QApplication::setWindowIcon(QIcon::fromTheme("rq_vtmx4"));
  // From here on a close signal closes the window like File > Exit, even while start-up is
  // still showing its message boxes.
  rq::SignalCloser closer(nullptr);

  QStringList args = QApplication::arguments().mid(1);
  bool demo = false;
  bool demoAb = false;
  QString screenshot;
  std::optional<int> page;
  int afterMs = 3000;
  QString logFile;
  bool record = false;
  QStringList rest;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--demo" || a == "--demo-ab") {
      demo = true;
      demoAb = demoAb || a == "--demo-ab";
    } else if (a == "--screenshot" && hasValue) {
      screenshot = args[++i];
    } else if (a == "--page" && hasValue) {
      page = args[++i].toInt();
    } else if (a == "--record") {
      record = true;
    } else if (a == "--log" && hasValue) {
      logFile = args[++i];
    } else if (a == "--after-ms" && hasValue) {
      afterMs = args[++i].toInt();
    } else if (a.size() > 1 && a.startsWith('-')) {
      std::fprintf(stderr, "rq_vtmx4: unknown option %s\n", a.toLocal8Bit().constData());
    } else {
      rest << a;
    }
  }

  rq::DemoUnit demoUnit;
  rq::FormHlavOptions options;
  const QStringList files = rq::FileArguments(rest);
  options.arguments = rest;
  if (demo) {
    QString error;
    if (!demoUnit.start(rq::DemoSimulatorArguments(demoAb), error)) {
      QMessageBox::critical(nullptr, "RQ_VTMX4_Kelvora", error);
      return 1;
    }
    options.portOverride = demoUnit.devicePath().toStdString();
  }

  rq::FormHlav window(std::move(options));
  if (closer.attach(&window)) return 0;  // closed (and saved) as File > Exit does

  ShownAnnouncer announcer;
  if (std::getenv("RQ_VTMX4_ANNOUNCE_SHOWN") != nullptr) window.installEventFilter(&announcer);

  if (page) window.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(*page);
  if (!screenshot.isEmpty()) {
    QTimer::singleShot(afterMs, &window, [&window, screenshot] {
      if (!window.grab().save(screenshot))
        std::fprintf(stderr, "rq_vtmx4: cannot save %s\n", screenshot.toLocal8Bit().constData());
      window.close();
    });
  }
  window.show();
  // The program ends once its main window has closed, whatever box was open at that moment:
  // every event loop, nested ones included, is left.
  QuitAfterClose quitter;
  window.installEventFilter(&quitter);
  // Files named on the command line (a double click on a .ign file) open as File › Open
  // opens them, in order, from the running event loop, so that a close signal arriving while
  // one of their boxes is open ends the program. An argument that names no existing file
  // changes nothing.
  QTimer::singleShot(0, &window, [&window, &closer, files] {
    for (const QString& file : files) {
      if (closer.closeRequested() || !window.isVisible()) return;
      const QByteArray name = file.toLocal8Bit();
      if (!QFileInfo::exists(file)) {
        std::fprintf(stderr, "rq_vtmx4: %s: neither a language nor an existing file, ignored\n",
                     name.constData());
      } else if (!window.openConfigurationFile(file)) {
        std::fprintf(stderr, "rq_vtmx4: %s not loaded\n", name.constData());
      }
    }
  });
  if (record) window.rideRecording().setRecording(true);
  if (!logFile.isEmpty()) window.logRoom().openLog(logFile.toStdString());
  return app.exec();
}
