// The floors the program's figures stand beside: a Qt window with a 20 s timer that does nothing
// and no reminder core, the least any Qt program doing this job can cost. As it starts, it shows
// the program's form, built by the same code (its boxes, label and Japanese Gothic);
// `floor_window bare` shows a window of the same size with one plain button instead. Either
// button hides the window: both stand where the design puts the set button.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstring>

#include "form1_controls.h"
#include "ui/form1_design.h"

// The design's twips at 15 to the pixel, as the program lays them out.
constexpr int pixels(int twips) { return twips / (form1::kTwipsPerInch / 96); }

int main(int argc, char* argv[]) {
  const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  QWidget window;
  QPushButton* button = nullptr;
  if (bare) {
    window.setWindowTitle(QStringLiteral("floor"));
    window.setFixedSize(pixels(form1::kClientWidth), pixels(form1::kClientHeight));
    button = new QPushButton(QStringLiteral("hide"), &window);
    const form1::Control& set = form1::named("Command1");
    button->setGeometry(pixels(set.left), pixels(set.top), pixels(set.width), pixels(set.height));
  } else {
    button = form1::makeControls(window);
  }
  QObject::connect(button, &QPushButton::clicked, &window, &QWidget::hide);
  QTimer timer;
  timer.start(20000);
  window.show();
  return app.exec();
}
