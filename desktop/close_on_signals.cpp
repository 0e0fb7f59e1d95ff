#include "desktop/close_on_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <csignal>

namespace porteka {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

CloseOnSignals::CloseOnSignals(QWidget& mainWindow) : mainWindow_(mainWindow) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char bytes[64];
    while (::read(signalPipe[0], bytes, sizeof(bytes)) > 0) {
    }
    CloseWindows();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) {
    struct sigaction before {};
    if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) {
      ::sigaction(signal, &action, nullptr);
    }
  }
}

CloseOnSignals::~CloseOnSignals() {
  if (notifier_ == nullptr) return;
  for (const int signal : kSignals) {
    struct sigaction before {};
    if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == OnSignal) std::signal(signal, SIG_DFL);
  }
  delete notifier_;
  ::close(signalPipe[0]);
  ::close(signalPipe[1]);
  signalPipe[0] = signalPipe[1] = -1;
}

void CloseOnSignals::CloseWindows() {
  // Innermost first, each closed as its close box would close it; a dialog
  // that will not close is not waited for.
  for (int i = 0; i < 8; ++i) {
    QWidget* top = QApplication::activePopupWidget();
    if (top == nullptr) top = QApplication::activeModalWidget();
    if (top == nullptr) break;
    top->close();
  }
  const bool shown = mainWindow_.isVisible();
  mainWindow_.close();
  // Still starting up: the main window comes up after the title card, and
  // the frame loop that follows must see it closed.
  if (!shown) QTimer::singleShot(10, this, [this] { CloseWindows(); });
}

}  // namespace porteka
