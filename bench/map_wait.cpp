// map_wait PROGRAM [ARGS...]: starts the program and prints, once its first
// top-level window is mapped, "<milliseconds> <pid> <window id>". The program
// is left running for the caller to measure further and to end.
#include <X11/Xlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: map_wait PROGRAM [ARGS...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "map_wait: cannot open the display\n");
    return 1;
  }
  // Listen before starting the program, so that no map can be missed.
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(STDERR_FILENO, STDOUT_FILENO);  // Our stdout carries only the result line.
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify && !event.xmap.override_redirect) {
      const std::chrono::duration<double, std::milli> elapsed =
          std::chrono::steady_clock::now() - start;
      std::printf("%.1f %d %lu\n", elapsed.count(), static_cast<int>(pid), event.xmap.window);
      XCloseDisplay(display);
      return 0;
    }
  }
}
