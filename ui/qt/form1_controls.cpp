#include "form1_controls.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <map>

#include "ui/form1_design.h"

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

}  // namespace

QPushButton* form1::makeControls(QWidget& window) {
  window.setWindowTitle(text(kCaption));
  window.setFixedSize(pixels(kClientWidth), pixels(kClientHeight));

  // Made in screen order: a screen reader lists them in the order they were made.
  QPushButton* button = nullptr;
  std::map<int, QWidget*> tabOrder;
  for (const Control& design : kControls) {
    QWidget* control = makeControl(design, &window);
    control->setObjectName(QLatin1String(design.name));
    control->setGeometry(pixels(design.left), pixels(design.top), pixels(design.width),
                         pixels(design.height));
    if (design.centipoints) control->setFont(japaneseGothic(design.centipoints));
    if (design.accessible) control->setAccessibleName(text(design.accessible));
    if (design.description) control->setAccessibleDescription(text(design.description));
    if (design.kind != Kind::kLabel) tabOrder[design.tabPosition] = control;
    if (design.kind == Kind::kButton) button = qobject_cast<QPushButton*>(control);
  }
  for (auto at = tabOrder.begin(); std::next(at) != tabOrder.end(); ++at) {
    QWidget::setTabOrder(at->second, std::next(at)->second);
  }
  tabOrder.begin()->second->setFocus();
  return button;
}
