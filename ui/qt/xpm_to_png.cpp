// Build tool: writes the program icon as the PNGs that desktops look up, one
// for each size of the hicolor theme, as DIR/NxN/apps/timerset.png. Each is a
// pixel map enlarged by whole pixels, so that the pixel art stays crisp where a
// desktop at 150 % or 200 %, or a software centre, draws it larger.
#include <QDir>
#include <QImage>
#include <cstdio>

#include "resources/timerset-16.xpm"
#include "resources/timerset-24.xpm"
#include "resources/timerset.xpm"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const struct {
    const char* const* xpm;
    int times;
  } sizes[] = {{timerset_icon_16, 1}, {timerset_icon_24, 1}, {timerset_icon, 1},
               {timerset_icon_24, 2}, {timerset_icon, 2},    {timerset_icon, 4},
               {timerset_icon, 8}};
  for (const auto& size : sizes) {
    const QImage picture(size.xpm);
    const int n = picture.width() * size.times;
    const QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(n);
    const QImage icon = picture.scaled(n, n, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (picture.isNull() || !QDir().mkpath(folder) || !icon.save(folder + "/timerset.png", "PNG")) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
