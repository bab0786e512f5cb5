// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/signal_close.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace rq {
namespace {

int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void OnCloseSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

SignalCloser::SignalCloser(QWidget* window, QObject* parent) : QObject(parent), window_(window) {
  if (g_pipe[0] >= 0) return;
  if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    g_pipe[0] = g_pipe[1] = -1;
    return;
  }
  notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalCloser::onSignal);
  struct sigaction sa {};
  sa.sa_handler = OnCloseSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int s : kSignals) ::sigaction(s, &sa, nullptr);
}

SignalCloser::~SignalCloser() {
  if (notifier_ == nullptr) return;
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  sigemptyset(&sa.sa_mask);
  for (int s : kSignals) ::sigaction(s, &sa, nullptr);
  delete notifier_;
  notifier_ = nullptr;
  ::close(g_pipe[0]);
  ::close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}

void SignalCloser::dismissBoxes() {
  // A message box open at that moment would keep the program alive; it is dismissed first.
  for (int guard = 0; guard < 16; ++guard) {
    auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (modal == nullptr || modal == window_) break;
    modal->reject();
  }
}

void SignalCloser::onSignal() {
  char buf[64];
  while (::read(g_pipe[0], buf, sizeof buf) > 0) {
  }
  requested_ = true;
  dismissBoxes();
  if (window_) {
    window_->close();
    return;
  }
  // Start-up is still running: boxes it opens from now on go at once, and the window closes
  // when it is attached.
  if (dismisser_ == nullptr) {
    dismisser_ = new QTimer(this);
    dismisser_->setInterval(20);
    connect(dismisser_, &QTimer::timeout, this, &SignalCloser::dismissBoxes);
    dismisser_->start();
  }
}

bool SignalCloser::attach(QWidget* window) {
  window_ = window;
  if (dismisser_ != nullptr) dismisser_->stop();
  if (!requested_ || window == nullptr) return false;
  window->close();
  return true;
}

}  // namespace rq

#include "moc_signal_close.cpp"
