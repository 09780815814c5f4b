// What the story cannot see of the Linux window at scale 1 and 2: form, long note, place.
#include <QtTest>
#include <QtWidgets>
#include <algorithm>

#include "form1.h"
#include "tests/reminder/fakes.h"

namespace {

// Where a control draws: a label only its glyphs, centred in its cell.
QRect drawn(const QWidget* control) {
  const auto* label = qobject_cast<const QLabel*>(control);
  if (!label) return control->geometry();
  QRect glyphs = label->fontMetrics().tightBoundingRect(label->text());
  glyphs.moveCenter(label->geometry().center());
  return glyphs;
}

// Whether its widest text fits its frame and margins in the font it got: 88, caption or glyph.
bool textFits(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    return label->geometry().contains(drawn(label));
  }
  const auto* button = qobject_cast<const QPushButton*>(control);
  const QStyle* style = control->style();
  const int frame = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
  // QLineEdit keeps 2 pixels a side inside its frame.
  const int room = button ? control->width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin)
                          : control->width() - frame - 4;
  const QFontMetrics metrics = control->fontMetrics();
  return metrics.horizontalAdvance(button ? button->text() : QStringLiteral("88")) <= room &&
         metrics.height() <= control->height() - frame;
}

// Screen order: by rows (controls whose heights overlap), each left to right.
bool readBefore(const QWidget* a, const QWidget* b) {
  const QRect ra = a->geometry(), rb = b->geometry();
  const bool sameRow = ra.top() <= rb.bottom() && rb.top() <= ra.bottom();
  return sameRow ? ra.left() < rb.left() : ra.top() < rb.top();
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    form = std::make_unique<Form1>(clock);
    form->start();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  }

  void design() {
    QList<QWidget*> controls = form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const QWidget* control : controls) {
      const QString name = control->objectName();
      QVERIFY2(control->isVisible() && form->rect().contains(control->geometry()),
               qPrintable(name));
      QVERIFY2(textFits(control), qPrintable(name));
      for (const QWidget* other : controls) {
        QVERIFY2(other == control || !drawn(control).intersects(drawn(other)),
                 qPrintable(name + " overlaps " + other->objectName()));
      }
      // The design's bold Gothic, where it has one, resolves to a Japanese font.
      const QFontInfo font(control->font());
      QVERIFY2(control->font() == QApplication::font(control) ||
                   (font.bold() &&
                    QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::Japanese)),
               qPrintable(name + ": " + font.family()));
    }
    // A screen reader reads the window, then its controls in screen order, each by a name.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form.get());
    QCOMPARE(std::pair(window->role(), window->text(QAccessible::Name)),
             std::pair(QAccessible::Window, QStringLiteral("タイマセット")));
    std::stable_sort(controls.begin(), controls.end(), readBefore);
    for (int i = 0; i < controls.size(); ++i) {
      QAccessibleInterface* read = window->child(i);
      QCOMPARE(read->object(), controls[i]);
      QVERIFY2(!read->text(QAccessible::Name).isEmpty(), qPrintable(controls[i]->objectName()));
    }
  }

  // Past QLineEdit's default 32767, in every box.
  void takesALongNote() {
    for (auto* box : form->findChildren<QLineEdit*>()) box->insert(QString(40000, u'会'));
    for (auto* box : form->findChildren<QLineEdit*>()) QCOMPARE(box->text().size(), 40000);
  }

  // Back where the user left it if wholly on a screen's work area, else centred.
  void popsUpOnAScreen() {
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    form->findChild<QLineEdit*>("t1")->setText("99");  // Due at every tick.
    for (const auto& [movedTo, stays] :
         {std::pair{QPoint(10, 20), true}, {QPoint(5000, 4000), false}, {QPoint(-60, 20), false}}) {
      QTest::mouseClick(form->findChild<QWidget*>("Command1"), Qt::LeftButton);
      form->move(movedTo);
      QVERIFY(QMetaObject::invokeMethod(form->findChild<QTimer*>("Timer1"), "timeout"));
      QCOMPARE(stays ? form->frameGeometry().topLeft() : form->frameGeometry().center(),
               stays ? movedTo : centre);
    }
  }

 private:
  reminder::testing::FakeClock clock;
  std::unique_ptr<Form1> form;
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
