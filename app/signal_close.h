// SIGTERM, SIGINT and SIGHUP close the main window the way File > Exit does. The handler only
// writes a byte into a pipe; the window is closed on the GUI thread when the byte arrives.
#pragma once

#include <QObject>
#include <QPointer>

class QSocketNotifier;
class QWidget;

namespace rq {

class SignalCloser : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; only one closer may exist at a time.
  explicit SignalCloser(QWidget* window, QObject* parent = nullptr);
  ~SignalCloser() override;
  SignalCloser(const SignalCloser&) = delete;
  SignalCloser& operator=(const SignalCloser&) = delete;

  bool installed() const { return notifier_ != nullptr; }

 private:
  void onSignal();

  QPointer<QWidget> window_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace rq
