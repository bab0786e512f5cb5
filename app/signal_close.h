// SPDX-License-Identifier: GPL-3.0-or-later
// SIGTERM, SIGINT and SIGHUP close the main window the way File > Exit does. The handler only
// writes a byte into a pipe; the window is closed on the GUI thread when the byte arrives.
// The closer is installed before the window is built: a signal during start-up (while the
// "Com opening error!" box is open, say) dismisses the boxes of the start-up and closes the
// window as soon as it exists.
#pragma once

#include <QObject>
#include <QPointer>

class QSocketNotifier;
class QTimer;
class QWidget;

namespace rq {

class SignalCloser : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; only one closer may exist at a time. window may come later through
  // attach().
  explicit SignalCloser(QWidget* window, QObject* parent = nullptr);
  ~SignalCloser() override;
  SignalCloser(const SignalCloser&) = delete;
  SignalCloser& operator=(const SignalCloser&) = delete;

  bool installed() const { return notifier_ != nullptr; }

  // The window to close from now on. When a signal came before, the window is closed at once
  // and true is returned.
  bool attach(QWidget* window);
  bool closeRequested() const { return requested_; }

 private:
  void onSignal();
  void dismissBoxes();

  QPointer<QWidget> window_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer* dismisser_ = nullptr;  // keeps dismissing start-up boxes until the window exists
  bool requested_ = false;
};

}  // namespace rq
