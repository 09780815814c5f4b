#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <ctime>

#include "form1.h"

void checkWhenClockSet(Form1& window) {
  // A wall clock timer for 2096 (far off under libfaketime's offset too), which the kernel
  // cancels whenever the clock is set; one arming serves for every later setting.
  const int fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (fd < 0) return;
  itimerspec far{};
  far.it_value.tv_sec = 4'000'000'000;
  if (timerfd_settime(fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &far, nullptr) != 0) {
    close(fd);
    return;
  }
  auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [fd, &window] {
    // The read clears the cancel, which would otherwise wake the loop again.
    std::uint64_t expirations = 0;
    if (read(fd, &expirations, sizeof expirations) < 0 && errno == ECANCELED) window.checkNow();
  });
  QObject::connect(notifier, &QObject::destroyed, [fd] { close(fd); });
}
