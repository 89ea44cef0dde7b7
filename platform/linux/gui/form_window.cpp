#include "platform/linux/gui/form_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>

#include "kit/layout_fit.h"
#include "kit/tick_schedule.h"
#include "platform/linux/gui/art.h"
#include "platform/linux/gui/qt_form_host.h"
#include "platform/linux/gui/text_fit.h"

namespace murrelet::linux_platform {
namespace {

// Inner width of a parent: a group's frame takes a couple of pixels each side.
constexpr int kGroupFrame = 2;

// Mirrors a control into its widget with a function chosen by kind.
class FunctionView : public ControlView {
 public:
  explicit FunctionView(std::function<void(const Control&)> apply) : apply_(std::move(apply)) {}
  void ControlChanged(const Control& control) override { apply_(control); }

 private:
  std::function<void(const Control&)> apply_;
};

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

Qt::Alignment AlignmentOf(Align align) {
  return (align == Align::Center ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
}

void ApplyFont(QWidget& widget, const TLabel& label) {
  QPalette palette = widget.palette();
  const QPalette& parent = widget.parentWidget()->palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText,
                     label.Color() == FontColor::Red ? QColor(Qt::red) : parent.color(group, QPalette::WindowText));
  }
  // Disabled, a label greys as the controls of its row do, whatever its colour.
  palette.setColor(QPalette::Disabled, QPalette::WindowText, parent.color(QPalette::Disabled, QPalette::WindowText));
  widget.setPalette(palette);
  QFont font = widget.font();
  font.setBold(label.Bold());
  widget.setFont(font);
}

// The status bar reads as one to assistive technology, its panels as its
// text children.
QAccessibleInterface* StatusBarAccessible(const QString&, QObject* object) {
  auto* bar = dynamic_cast<StatusPanels*>(object);
  return bar != nullptr ? new QAccessibleWidget(bar, QAccessible::StatusBar) : nullptr;
}

// A name of the core's description goes to the widget where the widget's own
// text does not say it; changing it tells assistive technology once.
void ApplyAccessibleName(QWidget& widget, const ControlLayout& row, const Control& control) {
  // Qt would call a group inside a group by the outer one's title.
  const bool named = !row.accessibleName.empty() || row.kind == ControlKind::Group ||
                     (row.kind == ControlKind::Button && control.Text().empty());
  if (!named) return;
  const QString name = Q(AccessibleName(row, &control));
  if (widget.accessibleName() != name) widget.setAccessibleName(name);
}

// Why a control is as it is (a box disabled for want of a notification
// area), read after its name; also its tooltip, for the mouse.
void ApplyDescription(QWidget& widget, const Control& control) {
  const QString description = Q(control.Description());
  if (widget.accessibleDescription() == description) return;
  widget.setAccessibleDescription(description);
  widget.setToolTip(description);
}

}  // namespace

QFont FormFont(const DesignFont& design) {
  QFont font;
  font.setFamilies({Q(design.face), QStringLiteral("Noto Sans CJK JP")});
  font.setPixelSize(design.pixels);
  return font;
}

FormWindow::FormWindow(QtFormHost& host, Form& form, bool dialog)
    : ProcedureWindow(
          // The default procedure grants every query, as the system's does.
          [](std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 1; }),
      host_(host),
      form_(form) {
  const Qt::WindowFlags flags =
      (dialog ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
      Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint | (dialog ? Qt::WindowFlags() : Qt::WindowMinimizeButtonHint);
  widget_ = std::make_unique<FormWidget>(flags);
  widget_->setObjectName(Q(form.Name()));
  widget_->setWindowTitle(Q(form.Caption()));
  widget_->setFont(FormFont(form.Font()));
  widget_->setFixedSize(form.ClientWidth(), form.ClientHeight());
  widget_->onCloseBox = [this] { host_.CloseBoxPressed(form_); };
  widget_->onMinimized = [this] { host_.MinimizePressed(form_); };
  if (dialog) widget_->onKey = [this](int key) { return PressKeyButton(key); };
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(StatusBarAccessible);
    return true;
  }();
  (void)factoryInstalled;

  // Timers run from the start; a dialog's controls are made when it is first
  // needed, since most runs never open it.
  MakeTimers();
  if (!dialog) Build();
}

void FormWindow::Build() {
  if (built_) return;
  built_ = true;
  for (const ControlLayout& row : form_.Layout()) {
    QWidget* parent = widget_.get();
    if (!row.parent.empty()) {
      const auto it = objects_.find(row.parent);
      if (it != objects_.end()) parent = static_cast<QWidget*>(it->second);
    }
    Control* control = form_.Find(row.name);
    QWidget* widget = MakeWidget(row, parent, control);
    widget->setObjectName(Q(row.name));
    widget->setGeometry(row.left, row.top, row.width, row.height);
    objects_.emplace(std::string(row.name), widget);
  }
  // Qt on Linux names an editable drop-down by its text; the label that
  // carries its name becomes its buddy, so AT-SPI reads it as labelled by it.
  for (const ControlLayout& row : form_.Layout()) {
    if (row.kind != ControlKind::ComboBox) continue;
    for (const ControlLayout& label : form_.Layout()) {
      if (label.kind == ControlKind::Label && label.text == row.accessibleName) {
        static_cast<QLabel*>(objects_.at(std::string(label.name)))->setBuddy(static_cast<QWidget*>(objects_.at(std::string(row.name))));
      }
    }
  }
  FitWidths();
  SetTabOrder();
}

void FormWindow::MakeTimers() {
  // Timers have no layout row: one per Timer control. Each runs as a one-shot
  // wait re-armed from its schedule, so periods follow the monotonic clock.
  for (Control* control : form_.Controls()) {
    if (control->Kind() != ControlKind::Timer) continue;
    auto& timer = static_cast<TTimer&>(*control);
    auto* qtimer = new QTimer(widget_.get());
    qtimer->setObjectName(Q(timer.Name()));
    qtimer->setTimerType(Qt::PreciseTimer);
    qtimer->setSingleShot(true);
    auto schedule = std::make_shared<TickSchedule>();
    QObject::connect(qtimer, &QTimer::timeout, [this, &timer, qtimer, schedule] {
      const TickSchedule::Time now = MonotonicNow();
      if (!schedule->Due(now)) {
        qtimer->start(static_cast<int>(schedule->DelayMsFrom(now)));
        return;
      }
      schedule->Fired(now);
      // Armed before the period runs: a message box it opens runs a nested
      // loop in which the next periods still arrive.
      qtimer->start(static_cast<int>(schedule->DelayMsFrom(MonotonicNow())));
      host_.Deliver([&timer] { timer.Fire(); }, true);
    });
    objects_.emplace(timer.Name(), qtimer);
    auto running = std::make_shared<bool>(false);
    views_.push_back(std::make_unique<FunctionView>([qtimer, running, schedule](const Control& c) {
      // Enabling again starts a fresh period, as the program expects.
      if (c.Enabled() && !*running) {
        const TickSchedule::Time now = MonotonicNow();
        schedule->Start(now, std::chrono::milliseconds(static_cast<const TTimer&>(c).Interval()));
        qtimer->start(static_cast<int>(schedule->DelayMsFrom(now)));
      }
      if (!c.Enabled()) qtimer->stop();
      *running = c.Enabled();
    }));
    timer.Attach(views_.back().get());
    bound_.emplace_back(&timer, views_.back().get());
    // Running from now on if the program enabled it already, controls made or not.
    views_.back()->ControlChanged(timer);
  }
}

// The forms go before the host that made their windows, so the form may be
// gone by now: nothing here touches it.
FormWindow::~FormWindow() = default;

// One builder per kind: each makes the widget, connects what the user does
// with it to the control, and says how the control's state is shown.
FormWindow::Built FormWindow::MakeGroup(const ControlLayout& row, QWidget* parent, Control*) {
  auto* group = new QGroupBox(Q(row.text), parent);
  return {group, [group](const Control& c) { group->setTitle(Q(c.Text())); }};
}

FormWindow::Built FormWindow::MakeLabel(const ControlLayout& row, QWidget* parent, Control*) {
  auto* label = new QLabel(Q(row.text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(AlignmentOf(row.align));
  if (row.kind == ControlKind::StaticText) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return {label, [label](const Control& c) {
            ApplyFont(*label, static_cast<const TLabel&>(c));
            label->setText(Q(c.Text()));
            CondenseTextToWidth(*label, label->text(), label->contentsRect().width());
          }};
}

FormWindow::Built FormWindow::MakeButton(const ControlLayout& row, QWidget* parent, Control* control) {
  auto* button = new QPushButton(Q(row.text), parent);
  button->setAutoDefault(false);
  button->setDefault(false);
  if (!row.image.empty()) {
    button->setIcon(GlyphIcon(Q(row.image)));
    button->setIconSize(QSize(16, 16));
  }
  if (control != nullptr) {
    auto* model = static_cast<TButton*>(control);
    // A pointer, the keyboard and an accessibility action's press all click.
    QObject::connect(button, &QPushButton::clicked, [this, model] { host_.Deliver([model] { model->UserClick(); }); });
  }
  return {button, [button](const Control& c) {
            button->setText(Q(c.Text()));
            button->setToolTip(Q(static_cast<const TButton&>(c).Hint));
          }};
}

FormWindow::Built FormWindow::MakeSpinEdit(const ControlLayout&, QWidget* parent, Control* control) {
  auto* spin = new StepSpinBox(parent);
  spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  if (control != nullptr) {
    auto* model = static_cast<TSpinEdit*>(control);
    spin->onStep = [this, model](int direction) { host_.Deliver([model, direction] { model->UserStep(direction); }); };
    // A value set any other way (the accessibility Value interface) is the
    // user's too; the program's own values are shown with the signals held.
    QObject::connect(spin, &QSpinBox::valueChanged, [this, model, spin](int value) {
      host_.Deliver([model, value] { model->UserSetValue(value); });
      const QSignalBlocker quiet(spin);
      spin->setValue(model->Value());
    });
  }
  return {spin, [spin](const Control& c) {
            const auto& model = static_cast<const TSpinEdit&>(c);
            const QSignalBlocker quiet(spin);
            spin->setRange(model.MinValue(), model.MaxValue());
            spin->setSingleStep(model.Increment());
            spin->setValue(model.Value());
          }};
}

FormWindow::Built FormWindow::MakeCheckBox(const ControlLayout& row, QWidget* parent, Control* control) {
  auto* check = new QCheckBox(Q(row.text), parent);
  if (control != nullptr) {
    auto* model = static_cast<TCheckBox*>(control);
    // Every change of the box's state, whatever made it: a click, Space, or
    // an accessibility action's toggle (which emits no clicked). The
    // program's own changes are shown with the signals held, so only the
    // user's arrive here.
    QObject::connect(check, &QCheckBox::toggled, [this, model, check](bool checked) {
      host_.Deliver([model, checked] { model->UserSetChecked(checked); });
      // The program may keep its own state: show what it holds.
      const QSignalBlocker quiet(check);
      check->setChecked(model->Checked());
    });
  }
  return {check, [check](const Control& c) {
            const QSignalBlocker quiet(check);
            check->setText(Q(c.Text()));
            check->setChecked(static_cast<const TCheckBox&>(c).Checked());
          }};
}

FormWindow::Built FormWindow::MakeComboBox(const ControlLayout&, QWidget* parent, Control* control) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  // A name is matched exactly: no completion may change what is typed.
  combo->setCompleter(nullptr);
  if (control != nullptr) {
    auto* model = static_cast<TComboBox*>(control);
    QObject::connect(combo, &QComboBox::editTextChanged, [this, model](const QString& text) {
      const std::string utf8 = text.toStdString();
      host_.Deliver([model, utf8] { model->UserSetText(utf8); });
    });
  }
  return {combo, [combo](const Control& c) {
            const auto& model = static_cast<const TComboBox&>(c);
            const QSignalBlocker quiet(combo);
            QStringList items;
            for (const std::string& item : model.Items()) items.push_back(Q(item));
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i) shown.push_back(combo->itemText(i));
            if (shown != items) {
              combo->clear();
              combo->addItems(items);
            }
            if (combo->currentText() != Q(c.Text())) combo->setEditText(Q(c.Text()));
          }};
}

FormWindow::Built FormWindow::MakeProgressBar(const ControlLayout&, QWidget* parent, Control*) {
  auto* bar = new QProgressBar(parent);
  bar->setRange(0, 100);
  bar->setTextVisible(true);
  bar->setFormat(QStringLiteral("%p%"));
  bar->setAlignment(Qt::AlignCenter);
  return {bar, [bar](const Control& c) { bar->setValue(static_cast<const TProgressBar&>(c).ShownPercent()); }};
}

FormWindow::Built FormWindow::MakeStatusBar(const ControlLayout& row, QWidget* parent, Control* control) {
  const auto& model = *static_cast<const TStatusBar*>(control);
  std::vector<int> widths;
  for (std::size_t i = 0; i < model.PanelCount(); ++i) widths.push_back(model.PanelWidth(i));
  auto* bar = new StatusPanels(parent, std::move(widths), row.height);
  // The bar is the window's bottom row: the window grows with it.
  bar->onGrown = [this](int extraHeight) { widget_->setFixedSize(form_.ClientWidth(), form_.ClientHeight() + extraHeight); };
  return {bar, [bar](const Control& c) {
            const auto& status = static_cast<const TStatusBar&>(c);
            for (std::size_t i = 0; i < status.PanelCount() && i < 2; ++i) {
              // The clock changes every second; the other panel is measured
              // again only when its own text changes.
              const QString text = Q(status.Panel(i));
              if (text != bar->Panel(i)->text()) bar->ShowText(i, text);
            }
          }};
}

FormWindow::Built FormWindow::MakePicture(const ControlLayout& row, QWidget* parent, Control*) {
  // A raised outer bevel around a lowered inner one, sized to the picture.
  auto* outer = new QFrame(parent);
  outer->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* picture = new QLabel(outer);
  picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture->setGeometry(1, 1, row.width - 2, row.height - 2);
  picture->setAlignment(Qt::AlignCenter);
  picture->setPixmap(ArtPixmap(Q(row.image)));
  return {outer, {}};
}

QWidget* FormWindow::MakeWidget(const ControlLayout& row, QWidget* parent, Control* control) {
  using Builder = Built (FormWindow::*)(const ControlLayout&, QWidget*, Control*);
  Builder builder = nullptr;
  switch (row.kind) {
    case ControlKind::Group: builder = &FormWindow::MakeGroup; break;
    case ControlKind::Label:
    case ControlKind::StaticText: builder = &FormWindow::MakeLabel; break;
    case ControlKind::Button: builder = &FormWindow::MakeButton; break;
    case ControlKind::SpinEdit: builder = &FormWindow::MakeSpinEdit; break;
    case ControlKind::CheckBox: builder = &FormWindow::MakeCheckBox; break;
    case ControlKind::ComboBox: builder = &FormWindow::MakeComboBox; break;
    case ControlKind::ProgressBar: builder = &FormWindow::MakeProgressBar; break;
    case ControlKind::StatusBar: builder = &FormWindow::MakeStatusBar; break;
    case ControlKind::Picture: builder = &FormWindow::MakePicture; break;
    case ControlKind::Timer: return new QWidget(parent);
  }
  const Built made = (this->*builder)(row, parent, control);
  if (control != nullptr) Bind(row, *control, made);
  return made.widget;
}

void FormWindow::Bind(const ControlLayout& row, Control& control, const Built& made) {
  auto view = std::make_unique<FunctionView>([widget = made.widget, apply = made.apply, &row](const Control& c) {
    widget->setEnabled(c.Enabled());
    if (apply) apply(c);
    ApplyAccessibleName(*widget, row, c);
    ApplyDescription(*widget, c);
  });
  control.Attach(view.get());
  bound_.emplace_back(&control, view.get());
  views_.push_back(std::move(view));
}

// Each control gets the width its text needs where the core's fit finds room
// for it (kit/layout_fit.h: `FittedWidth`, `RoomToTheRight`), keeping the
// design's places; a text that still does not fit is drawn narrower, by the
// core's stretch. Here the widgets are only measured and placed.
void FormWindow::FitWidths() {
  const auto layout = form_.Layout();
  for (const ControlLayout& row : layout) {
    if (row.kind != ControlKind::Label && row.kind != ControlKind::CheckBox && row.kind != ControlKind::Button) continue;
    auto* widget = static_cast<QWidget*>(objects_.at(std::string(row.name)));
    int innerRight = form_.ClientWidth();
    if (!row.parent.empty()) innerRight = static_cast<QWidget*>(objects_.at(std::string(row.parent)))->width() - kGroupFrame;
    const int room = RoomToTheRight(row, layout, innerRight);
    const int width = FittedWidth(row.width, widget->sizeHint().width(), room);
    widget->setGeometry(row.left, row.top, width, row.height);
  }
  // With every width settled, the views' first pass shows the state (labels
  // narrow their own text as it changes); a check box or button whose text
  // still does not fit is drawn narrower.
  for (const auto& [control, view] : bound_) view->ControlChanged(*control);
  for (const ControlLayout& row : layout) {
    if (row.kind != ControlKind::CheckBox && row.kind != ControlKind::Button) continue;
    auto* widget = static_cast<QWidget*>(objects_.at(std::string(row.name)));
    if (widget->sizeHint().width() > widget->width()) CondenseToWidth(*widget, widget->width());
  }
}

void FormWindow::SetTabOrder() {
  // The layout's order, as the rows are listed: the order a reader expects.
  QWidget* previous = nullptr;
  for (const ControlLayout& row : form_.Layout()) {
    if (!TakesFocus(row.kind)) continue;
    auto* widget = static_cast<QWidget*>(objects_.at(std::string(row.name)));
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

Control* FormWindow::ControlOf(const QWidget* widget) const {
  for (; widget != nullptr && widget != widget_.get(); widget = widget->parentWidget()) {
    for (const auto& [control, view] : bound_) {
      if (Made(control->Name()) == widget) return control;
    }
  }
  return nullptr;
}

void FormWindow::KeepFocusAfter(Control& focusedBefore) {
  if (focusedBefore.Enabled() || !widget_->isVisible()) return;
  const Control* next = FocusAfter(form_, focusedBefore);
  if (next == nullptr) return;
  if (auto* widget = qobject_cast<QWidget*>(ObjectOf(next->Name()))) widget->setFocus(Qt::TabFocusReason);
}

void FormWindow::FocusFirstControl() {
  Build();
  const Control* first = FirstFocus(form_);
  auto* widget = first != nullptr ? qobject_cast<QWidget*>(Made(first->Name())) : nullptr;
  if (widget == nullptr) return;
  widget->setFocus(Qt::TabFocusReason);
  // Styles draw the focus only after a key has moved it; from the keyboard's
  // point of view the opening is such a move.
  widget_->setAttribute(Qt::WA_KeyboardFocusChange);
}

bool FormWindow::PressKeyButton(int key) {
  TButton* button = nullptr;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    button = EnterButton(form_, ControlOf(widget_->focusWidget()));
  } else if (key == Qt::Key_Escape) {
    button = EscapeButton(form_);
  }
  auto* widget = button != nullptr ? qobject_cast<QPushButton*>(Made(button->Name())) : nullptr;
  if (widget == nullptr) return false;
  widget->click();
  return true;
}

QObject* FormWindow::ObjectOf(std::string_view name) {
  Build();
  return Made(name);
}

QObject* FormWindow::Made(std::string_view name) const {
  const auto it = objects_.find(name);
  return it == objects_.end() ? nullptr : it->second;
}

}  // namespace murrelet::linux_platform
