#include "form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDBusConnection>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <limits>
#include <map>

#include "resources/timerset.xpm"
#include "ui/form1_design.h"
#include "x11_window.h"

namespace {

// The design's twips at 15 to the pixel; Qt scales logical pixels on denser screens.
constexpr int kTwipsPerPixel = form1::kTwipsPerInch / 96;
int pixels(int twips) { return twips / kTwipsPerPixel; }

QString text(const char16_t* utf16) { return utf16 ? QString::fromUtf16(utf16) : QString(); }

// The design's Gothic, by its Japanese and Latin names, then the Gothics the package depends on.
QFont japaneseGothic(int centipoints) {
  QFont font;
  font.setFamilies({text(form1::kGothic), QStringLiteral("MS PGothic"),
                    QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                    QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(centipoints / 100.0);
  font.setBold(true);
  return font;
}

// A box for a number, where an input method would compose the digits and take the Enter that
// confirms them. A QLineEdit tells input methods it takes their text whatever
// WA_InputMethodEnabled says; this one says no.
class NumberBox final : public QLineEdit {
 public:
  using QLineEdit::inputMethodQuery;
  using QLineEdit::QLineEdit;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
    return query == Qt::ImEnabled ? QVariant(false) : QLineEdit::inputMethodQuery(query);
  }
};

QWidget* makeControl(const form1::Control& design, QWidget* parent) {
  switch (design.kind) {
    case form1::Kind::kNumberBox:
      return new NumberBox(parent);
    case form1::Kind::kNoteBox:
      return new QLineEdit(parent);
    case form1::Kind::kLabel: {
      auto* label = new QLabel(text(design.text), parent);
      label->setAlignment(Qt::AlignCenter);
      return label;
    }
    case form1::Kind::kButton:
      return new QPushButton(text(design.text), parent);
  }
  return nullptr;
}

// A plain QWidget's role is a filler, which screen readers do not announce as a window.
QAccessibleInterface* accessibleWindow(const QString&, QObject* object) {
  auto* form = qobject_cast<Form1*>(object);
  return form ? new QAccessibleWidget(form, QAccessible::Window) : nullptr;
}

}  // namespace

Form1::Form1(const reminder::Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      reminder_(*this, clock) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(text(form1::kCaption));
  setWindowIcon(QIcon(QPixmap(timerset_icon)));
  setFixedSize(pixels(form1::kClientWidth), pixels(form1::kClientHeight));
  QAccessible::installFactory(accessibleWindow);  // Once: Qt keeps each factory once.

  // Made in screen order: a screen reader lists them in the order they were made.
  QPushButton* button = nullptr;
  std::map<int, QWidget*> tabOrder;
  for (const form1::Control& design : form1::kControls) {
    QWidget* control = makeControl(design, this);
    control->setObjectName(QLatin1String(design.name));
    control->setGeometry(pixels(design.left), pixels(design.top), pixels(design.width),
                         pixels(design.height));
    if (design.centipoints) control->setFont(japaneseGothic(design.centipoints));
    if (design.accessible) control->setAccessibleName(text(design.accessible));
    if (design.description) control->setAccessibleDescription(text(design.description));
    if (design.kind != form1::Kind::kLabel) tabOrder[design.tabPosition] = control;
    if (design.kind == form1::Kind::kButton) button = qobject_cast<QPushButton*>(control);
  }
  for (auto at = tabOrder.begin(); std::next(at) != tabOrder.end(); ++at) {
    setTabOrder(at->second, std::next(at)->second);
  }
  tabOrder.begin()->second->setFocus();
  t1 = findChild<QLineEdit*>(QStringLiteral("t1"));
  t2 = findChild<QLineEdit*>(QStringLiteral("t2"));

  // Enter in any box sets the reminder, as the button does. A note may be as long as the user
  // likes; QLineEdit would cut it at 32767.
  for (QLineEdit* box : findChildren<QLineEdit*>()) {
    connect(box, &QLineEdit::returnPressed, button, &QPushButton::click);
    box->setMaxLength(std::numeric_limits<int>::max());
  }
  connect(button, &QPushButton::clicked, this, [this] { reminder_.armReminder(); });

  // Single shots: each wait is measured afresh from the wall clock.
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &Form1::checkNow);
}

void Form1::start() { Timer1->start(reminder_.start()); }

// The check and the wait to the next mark come from one reading of the clock.
void Form1::checkNow() { Timer1->start(reminder_.checkReminder()); }

// The timer did not count the time asleep: its next tick may be 20 s away.
void Form1::prepareForSleep(bool sleeping) {
  if (!sleeping) checkNow();
}

// By the frame the user sees, which the manager tells of a window not yet mapped. The native
// window asked about is made anew as it is shown: only so does Qt place it by its frame, as the
// managers put back a window withdrawn, so that it comes back where it stood.
void Form1::centre() {
  create();
  QRect frame = frameGeometry();
  if (const auto extents = x11::frameExtents(windowHandle()))
    frame = geometry().marginsAdded(*extents / devicePixelRatio());
  destroy();
  frame.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
  move(frame.topLeft());
}

bool Form1::isOnAScreen() const {
  const QList<QScreen*> screens = QGuiApplication::screens();
  const QRect frame = frameGeometry();
  return std::any_of(screens.begin(), screens.end(),
                     [&](const QScreen* s) { return s->availableGeometry().contains(frame); });
}

void Form1::show(Show how) {
  if (!isHidden()) return;  // Showing a shown window changes nothing.
  if (how == Show::kWithoutFocus) {
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
      // A Wayland client may only ask for activation; the compositor decides.
      QWidget::show();
      windowHandle()->requestActivate();
      return;
    }
    // Mapped with _NET_WM_USER_TIME 0: no focus. Qt reads it from the native window.
    create();
    setAttribute(Qt::WA_ShowWithoutActivating);
    windowHandle()->setProperty("_q_showWithoutActivating", true);
  }
  QWidget::show();
}

// Withdrawn and mapped anew without the focus, which openbox and xfwm4 give a window they
// de-iconify. The manager may forget the above state after Qt set it: asked again.
void Form1::restore() {
  QWidget::hide();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show(Show::kWithoutFocus);
  if (windowFlags() & Qt::WindowStaysOnTopHint) x11::requestAbove(windowHandle());
}

// On the window itself: QWidget's flags would hide it and forget its place.
void Form1::keepAbove(bool above) {
  create();
  overrideWindowFlags(windowFlags().setFlag(Qt::WindowStaysOnTopHint, above));
  windowHandle()->setFlag(Qt::WindowStaysOnTopHint, above);
}

// On X11 a restack request, never the focus; neither tells whether the desktop obliged.
bool Form1::raise(Stacking) {
  if (!x11::requestRaise(windowHandle())) QWidget::raise();
  return true;
}

void Form1::requestAttention(bool wanted) {
  if (!x11::setUrgent(windowHandle(), wanted) && wanted) QApplication::alert(this);
}

// An X window mapped anew goes to the workspace in use; Wayland's compositor decides.
void Form1::toCurrentDesktop() {}

void Form1::hide() { QWidget::hide(); }
bool Form1::isHidden() const { return QWidget::isHidden(); }
bool Form1::isMinimised() const { return isMinimized(); }
std::u16string Form1::textOfT1() const { return t1->text().toStdU16String(); }
std::u16string Form1::textOfT2() const { return t2->text().toStdU16String(); }

bool Form1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) reminder_.windowActivated();
  return QWidget::event(event);
}

void checkAfterWake(Form1& window) {
  QDBusConnection::systemBus().connect(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), &window,
      SLOT(prepareForSleep(bool)));
}
