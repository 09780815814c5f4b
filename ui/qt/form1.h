#pragma once

#include <QWidget>
#include <string>

#include "reminder/reminder.h"

class QLineEdit;
class QTimer;

// The reminder's one window, built from the form's design. It decides nothing: it hands the
// click and the tick to the core and carries out the operations the core asks of it.
class Form1 final : public QWidget, public reminder::WindowOps {
  Q_OBJECT

 public:
  // The clock is read on each click and tick; it must outlive the window.
  explicit Form1(const reminder::Clock& clock, QWidget* parent = nullptr);

  // Shows the window as the program starts and starts the ticks.
  void start();

  // The window operations of the core.
  void hide() override;
  void show(Show how) override;
  bool raise(Stacking stacking) override;
  void restore() override;
  void keepAbove(bool above) override;
  void requestAttention(bool wanted) override;
  void centre() override;
  void toCurrentDesktop() override;
  bool isHidden() const override;
  bool isMinimised() const override;
  bool isOnAScreen() const override;
  std::u16string textOfT1() const override;
  std::u16string textOfT2() const override;

 public slots:
  // Checks now, and the ticks start again from the next mark.
  void checkNow();

 protected:
  bool event(QEvent* event) override;

 private slots:
  // logind's PrepareForSleep: false once the computer has woken.
  void prepareForSleep(bool sleeping);

 private:
  QLineEdit* t1;
  QLineEdit* t2;
  QTimer* Timer1;

  reminder::Reminder reminder_;
};

// Checks at once when logind says the computer has woken: the timer does not count the time
// asleep. Without logind, the ticks alone check.
void checkAfterWake(Form1& window);

// Checks at once when the wall clock is set: the ticks, measured from the clock as it read
// before, would wait up to 20 s off their marks.
void checkWhenClockSet(Form1& window);
