#include "platform/linux/gui/widgets.h"

#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QFontMetrics>
#include <QResizeEvent>
#include <algorithm>

#include "kit/layout_fit.h"
#include "platform/linux/gui/text_fit.h"

namespace murrelet::linux_platform {

StepSpinBox::StepSpinBox(QWidget* parent) : QSpinBox(parent) {
  // Read-only text: only the arrows (and the arrow keys) change the value.
  lineEdit()->setReadOnly(true);
  setFocusPolicy(Qt::StrongFocus);
}

void StepSpinBox::stepBy(int steps) {
  if (steps == 0 || !onStep) return;
  onStep(steps > 0 ? 1 : -1);
}

QAbstractSpinBox::StepEnabled StepSpinBox::stepEnabled() const {
  if (!isEnabled()) return StepNone;
  StepEnabled enabled = StepNone;
  if (value() < maximum()) enabled |= StepUpEnabled;
  if (value() > minimum()) enabled |= StepDownEnabled;
  return enabled;
}

StatusPanels::StatusPanels(QWidget* parent, std::vector<int> panelWidths, int designHeight)
    : QFrame(parent), panel0_(new QLabel(this)), panel1_(new QLabel(this)), panelWidths_(std::move(panelWidths)),
      designHeight_(designHeight) {
  panelWidths_.resize(2);
  for (QLabel* panel : {panel0_, panel1_}) {
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    panel->setIndent(2);
  }
  panel0_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  panel1_->setAlignment(Qt::AlignCenter);
  panel0_->setObjectName("panel0");
  panel1_->setObjectName("panel1");
}

void StatusPanels::ShowText(std::size_t index, const QString& text) {
  constexpr int kGap = 2;
  PlacePanels();
  QLabel* panel = Panel(index);
  panel->setWordWrap(false);
  panel->setText(text);
  const int room = panel->contentsRect().width() - 2 * panel->indent();
  CondenseTextToWidth(*panel, text, room);
  if (index != 0) return;
  int extra = 0;
  if (QFontMetrics(panel->font()).horizontalAdvance(text) > room) {
    // Too long even narrowed: on as many lines as it takes, in the form's own
    // width of letters, rather than cut.
    QFont font = panel->font();
    font.setStretch(100);
    panel->setFont(font);
    panel->setWordWrap(true);
    extra = std::max(0, kGap + panel->heightForWidth(panel->width()) - designHeight_);
  }
  if (extra == extraHeight_) return;
  extraHeight_ = extra;
  resize(width(), designHeight_ + extra);
  if (onGrown) onGrown(extra);
}

bool StatusPanels::PlacePanels() {
  // Across the bar as the core places them, each the bar's height less the
  // gap above it.
  constexpr int kGap = 2;
  const std::vector<PanelSpan> spans = StatusPanelSpans(panelWidths_, kGap, width());
  bool widthChanged = false;
  for (std::size_t i = 0; i < 2; ++i) {
    QLabel* panel = Panel(i);
    widthChanged = widthChanged || panel->width() != spans[i].width;
    panel->setGeometry(spans[i].left, kGap, spans[i].width, std::max(0, height() - kGap));
  }
  return widthChanged;
}

void StatusPanels::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  // A panel that changed width fits its text again.
  if (!PlacePanels()) return;
  for (std::size_t i = 0; i < 2; ++i) {
    if (!Panel(i)->text().isEmpty()) ShowText(i, Panel(i)->text());
  }
}

void FormWidget::closeEvent(QCloseEvent* event) {
  // The program decides what closing means; the window stays until it says so.
  event->ignore();
  if (onCloseBox) onCloseBox();
}

void FormWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized() && onMinimized) onMinimized();
}

void FormWidget::keyPressEvent(QKeyEvent* event) {
  // The keypad's Enter comes with the keypad modifier; any other modifier
  // makes another key.
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && onKey && onKey(event->key())) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace murrelet::linux_platform
