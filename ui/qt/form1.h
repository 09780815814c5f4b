#pragma once

#include <QWidget>
#include <string>

#include "reminder/reminder.h"

class QCloseEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The reminder's one window: the hour and minute boxes, the note, the button
// that arms the reminder and the timer that checks it. The window holds no
// reminder rule of its own; it only hands the click and the tick to the core
// and carries out the operations the core asks of it.
class Form1 final : public QWidget, public reminder::WindowOps {
  Q_OBJECT

 public:
  // The clock is read on each click and tick; it must outlive the window.
  explicit Form1(const reminder::Clock& clock, QWidget* parent = nullptr);

  // The window operations of the core.
  void hide() override;
  void show() override;
  void raise() override;
  std::u16string textOfT1() const override;
  std::u16string textOfT2() const override;

 public slots:
  // Checks now, and the ticks start again from the next mark: for when the
  // timer has missed time (a wake, a clock set).
  void checkNow();

 signals:
  // The user closed the window; hiding it does not count.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private slots:
  // logind's PrepareForSleep: false once the computer has woken.
  void prepareForSleep(bool sleeping);

 private:
  QLineEdit* Text3;
  QLineEdit* t2;
  QLineEdit* t1;
  QPushButton* Command1;
  QLabel* Label1;
  QTimer* Timer1;

  void centre();
  void popUp();
  void setStaysOnTop(bool on);

  const reminder::Clock& clock_;
  reminder::Reminder reminder_;
  bool shownBefore_ = false;
  bool poppedUp_ = false;  // Shown by the reminder, and not armed since.
};

// Keeps the application running while the window is hidden and ends it when
// the user closes the window.
void quitWhenClosed(Form1& window);

// Checks at once when logind says the computer has woken, since the timer
// does not count the time asleep. Without a system bus or logind, the ticks
// alone check.
void checkAfterWake(Form1& window);
