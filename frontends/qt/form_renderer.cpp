// Building and tearing down the windows of forms, input forwarding and pop-up menus.
#include "frontends/qt/form_renderer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPixmapCache>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>

#include "frontends/qt/animation_widget.h"
#include "frontends/qt/control_widgets.h"
#include "frontends/qt/event_guard.h"
#include "frontends/qt/form_window.h"
#include "frontends/qt/option_widget.h"
#include "frontends/qt/skin.h"

namespace veltrix::qt {

using forms::ControlType;

namespace {

// VB mouse buttons (1 left, 2 right, 4 middle) and shift state (1 shift, 2 ctrl, 4 alt).
int ButtonCode(Qt::MouseButtons buttons) {
  int code = 0;
  if (buttons & Qt::LeftButton) code |= 1;
  if (buttons & Qt::RightButton) code |= 2;
  if (buttons & Qt::MiddleButton) code |= 4;
  return code;
}
int ShiftCode(Qt::KeyboardModifiers mods) {
  int code = 0;
  if (mods & Qt::ShiftModifier) code |= 1;
  if (mods & Qt::ControlModifier) code |= 2;
  if (mods & Qt::AltModifier) code |= 4;
  return code;
}

// Controls that are clicked as a whole area (no Qt click signal of their own).
bool ClickedByArea(ControlType type) {
  return type == ControlType::Label || type == ControlType::Image || type == ControlType::PictureBox ||
         type == ControlType::AnimatedGif || type == ControlType::Frame;
}

// Mouse events of a control's widget go to the model as UserMouse, and area clicks as
// UserClick / UserDblClick. Positions in twips of the control.
class InputFilter : public QObject {
 public:
  InputFilter(forms::Control& control, QObject* parent) : QObject(parent), control_(control) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) return false;
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseMove:
      case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(event);
        const int kind = event->type() == QEvent::MouseButtonPress ? 0
                         : event->type() == QEvent::MouseMove      ? 1
                                                                   : 2;
        const int buttons = kind == 1 ? ButtonCode(me->buttons()) : ButtonCode(me->button());
        const auto x = static_cast<float>(me->position().x() * 15.0);
        const auto y = static_cast<float>(me->position().y() * 15.0);
        forms::Control* c = &control_;
        Guarded([&] { c->UserMouse(kind, buttons, ShiftCode(me->modifiers()), x, y); });
        if (kind == 2 && me->button() == Qt::LeftButton && ClickedByArea(c->Type()) &&
            widget->rect().contains(me->position().toPoint())) {
          Guarded([c] { c->UserClick(); });
        }
        // A picture box is a window of its own: its press never reaches the window below
        // (where a press on the title picture would start dragging the window).
        return kind == 0 && c->Type() == ControlType::PictureBox;
      }
      case QEvent::MouseButtonDblClick:
        if (ClickedByArea(control_.Type())) {
          forms::Control* c = &control_;
          Guarded([c] { c->UserDblClick(); });
        }
        return false;
      case QEvent::FocusOut: {
        // Focus that moves within the program is a lost focus; the window losing the
        // activation (another window, a message box, a menu opening) is not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
        forms::Control* c = &control_;
        Guarded([c] { c->UserFocusLost(); });
        return false;
      }
      default:
        return false;
    }
  }

 private:
  forms::Control& control_;
};

// A tab strip: the row of tabs, a panel for the pages, and the pages' controls as children.
class StripWidget : public QWidget {
 public:
  explicit StripWidget(QWidget* parent) : QWidget(parent) {
    bar = new QTabBar(this);
    bar->setDrawBase(false);
    bar->setExpanding(false);
    bar->setUsesScrollButtons(false);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setElideMode(Qt::ElideRight);
    // Eight pages share the strip's width: compact tabs.
    bar->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 7px; }"));
  }
  QTabBar* bar;

 protected:
  void resizeEvent(QResizeEvent* /*event*/) override {
    bar->setGeometry(0, 0, width(), bar->sizeHint().height());
  }
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter p(this);
    const int top = bar->height();
    p.setPen(QPen(skin::kBorder, 1));
    p.setBrush(skin::kPanel);
    p.drawRect(QRectF(0.5, top - 0.5, width() - 1.0, height() - top));
  }
};

}  // namespace

FormRenderer::FormRenderer(forms::Application& app, std::string programFolder)
    : app_(app), programFolder_(std::move(programFolder)) {
  // Every window takes the skin from the application; widgets in the system colours share
  // that palette.
  if (QApplication::palette() != skin::Palette()) QApplication::setPalette(skin::Palette());
  // The style keeps every button face it draws in the pixmap cache under a name made from the
  // palette, and the cache never forgets a name, even when it drops the face: each window
  // built for an alarm added names for good (about 1 kB an alarm). Faces are drawn afresh
  // instead; they are small, and only the windows on screen paint.
  QPixmapCache::setCacheLimit(0);
  app_.AddObserver(this);
  for (forms::Form* form : app_.Forms()) {
    if (form->IsLoaded()) FormLoaded(*form);
  }
}

FormRenderer::~FormRenderer() {
  app_.RemoveObserver(this);
  for (auto& [form, view] : forms_) delete view->window.data();
}

FormRenderer::FormView* FormRenderer::ViewOf(const forms::Form& form) {
  auto it = forms_.find(&form);
  return it == forms_.end() ? nullptr : it->second.get();
}

FormRenderer::ControlView* FormRenderer::ViewOf(const forms::Control& control) {
  FormView* fv = ViewOf(control.Owner());
  if (fv == nullptr) return nullptr;
  auto it = fv->controls.find(&control);
  return it == fv->controls.end() ? nullptr : &it->second;
}

QWidget* FormRenderer::WindowOf(const std::string& formName) const {
  for (const auto& [form, view] : forms_) {
    if (form->Name() == formName) return view->window;
  }
  return nullptr;
}

QWidget* FormRenderer::WindowOf(const forms::Form& form) const {
  auto it = forms_.find(&form);
  return it == forms_.end() ? nullptr : it->second->window.data();
}

forms::Form* FormRenderer::FormOfWindow(const QWidget* window) const {
  for (const auto& [form, view] : forms_) {
    if (view->window == window) return const_cast<forms::Form*>(form);
  }
  return nullptr;
}

QWidget* FormRenderer::WidgetOf(const forms::Control& control) const {
  auto it = forms_.find(&control.Owner());
  if (it == forms_.end()) return nullptr;
  auto c = it->second->controls.find(&control);
  return c == it->second->controls.end() ? nullptr : c->second.widget.data();
}

void FormRenderer::FormLoaded(forms::Form& form) {
  if (ViewOf(form) != nullptr) return;
  Build(form);
}

void FormRenderer::FormUnloaded(forms::Form& form) {
  auto it = forms_.find(&form);
  if (it == forms_.end()) return;
  std::unique_ptr<FormView> view = std::move(it->second);
  forms_.erase(it);
  if (view->window) {
    view->window->hide();
    // The unload may come from one of the window's own input handlers: the window goes as
    // soon as none can be running. Nothing of a closed form stays behind.
    DeleteWhenIdle(view->window.data());
  }
  bool anyLoaded = false;
  for (forms::Form* f : app_.Forms()) anyLoaded = anyLoaded || f->IsLoaded();
  if (!anyLoaded && onAllUnloaded) onAllUnloaded();
}

void FormRenderer::Build(forms::Form& form) {
  auto fv = std::make_unique<FormView>();
  auto* window = new FormWindow();
  window->setObjectName(QString::fromStdString(form.Name()));
  window->setAutoFillBackground(true);
  window->setFont(skin::Font(9, false));
  window->onCloseRequest = [f = &form] {
    Guarded([f] {
      f->SetNextUnloadMode(forms::Form::vbFormControlMenu);
      f->Unload();
    });
  };
  window->onStateChange = [this, f = &form] { TakeWindowState(*f); };
  fv->window = window;
  FormView& view = *fv;
  forms_[&form] = std::move(fv);

  // Widgets first (all on the window), then into their containers: a container may be
  // declared after the controls it holds.
  for (forms::Control* c : form.Controls()) {
    if (c == &form) continue;
    ControlView cv;
    cv.widget = Create(*c, window);
    if (c->Type() == ControlType::TabStrip) cv.tabBar = static_cast<StripWidget*>(cv.widget.data())->bar;
    view.controls[c] = cv;
  }
  for (forms::Control* c : form.Controls()) {
    if (c == &form) continue;
    ControlView& cv = view.controls[c];
    if (!cv.widget) continue;
    QWidget* parent = ParentFor(view, *c);
    if (cv.widget->parentWidget() != parent) cv.widget->setParent(parent);
    cv.widget->raise();
    Wire(*c, cv);
    ApplyAll(*c, cv);
  }
  RebuildMenuBar(form, view);
  for (forms::Prop p : {forms::Prop::Caption, forms::Prop::BorderStyle, forms::Prop::Width, forms::Prop::Left,
                        forms::Prop::Visible}) {
    ApplyForm(form, view, p);
  }
}

QWidget* FormRenderer::ParentFor(FormView& fv, forms::Control& control) {
  forms::Control* container = control.Container();
  if (container != nullptr && container->Type() != ControlType::Menu) {
    auto it = fv.controls.find(container);
    if (it != fv.controls.end() && it->second.widget) return it->second.widget;
  }
  return fv.window;
}

QWidget* FormRenderer::Create(forms::Control& control, QWidget* parent) {
  switch (control.Type()) {
    case ControlType::Label: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setMouseTracking(true);
      return label;
    }
    case ControlType::CheckBox:
      return new QCheckBox(parent);
    case ControlType::OptionButton:
      return new OptionWidget(parent);
    case ControlType::CommandButton:
      return new QPushButton(parent);
    case ControlType::Frame:
      return new QGroupBox(parent);
    case ControlType::TextBox:
      if (static_cast<forms::TextBox&>(control).MultiLine) return new QPlainTextEdit(parent);
      return new QLineEdit(parent);
    case ControlType::Slider:
      return new GaugeWidget(static_cast<forms::Slider&>(control), parent);
    case ControlType::UpDown:
      return new SpinArrows(static_cast<forms::UpDown&>(control), parent);
    case ControlType::ProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setTextVisible(false);
      return bar;
    }
    case ControlType::PictureBox: {
      auto* box = new DrawingWidget(static_cast<forms::PictureBox&>(control), parent);
      box->setMouseTracking(true);
      return box;
    }
    case ControlType::Image: {
      auto* image = new QLabel(parent);
      image->setMouseTracking(true);
      return image;
    }
    case ControlType::AnimatedGif: {
      auto* animation = new AnimationWidget(parent);
      animation->setMouseTracking(true);
      return animation;
    }
    case ControlType::Line:
      return new LineWidget(static_cast<forms::LineControl&>(control), parent);
    case ControlType::TabStrip:
      return new StripWidget(parent);
    case ControlType::Menu:
    case ControlType::Timer:
    case ControlType::Form:
      return nullptr;
  }
  return nullptr;
}

void FormRenderer::Wire(forms::Control& control, ControlView& view) {
  QWidget* w = view.widget;
  forms::Control* c = &control;
  if (control.Type() != ControlType::Line) w->installEventFilter(new InputFilter(control, w));
  switch (control.Type()) {
    case ControlType::CheckBox:
    case ControlType::OptionButton:
    case ControlType::CommandButton:
      connect(static_cast<QAbstractButton*>(w), &QAbstractButton::clicked, this, [this, c] {
        Guarded([c] { c->UserClick(); });
        Resync(*c);
      });
      break;
    case ControlType::TextBox:
      if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
        // Typed lines reach the model with the CR LF breaks its texts use.
        connect(edit, &QPlainTextEdit::textChanged, this, [this, c, edit] {
          const std::string text = edit->toPlainText().replace('\n', QStringLiteral("\r\n")).toStdString();
          if (text == static_cast<forms::TextBox*>(c)->Text.Get()) return;
          Guarded([&] { static_cast<forms::TextBox*>(c)->UserType(text); });
          Resync(*c);
        });
      } else {
        connect(static_cast<QLineEdit*>(w), &QLineEdit::textEdited, this, [this, c](const QString& text) {
          Guarded([&] { static_cast<forms::TextBox*>(c)->UserType(text.toStdString()); });
          Resync(*c);
        });
      }
      break;
    case ControlType::Slider:
      static_cast<GaugeWidget*>(w)->onUserValue = [this, c](int value) {
        Guarded([&] { static_cast<forms::Slider*>(c)->UserSetValue(value); });
        Resync(*c);
      };
      break;
    case ControlType::UpDown:
      static_cast<SpinArrows*>(w)->onStep = [this, c](int direction) {
        Guarded([&] { static_cast<forms::UpDown*>(c)->UserStep(direction); });
        Resync(*c);
      };
      break;
    case ControlType::TabStrip:
      connect(view.tabBar.data(), &QTabBar::tabBarClicked, this, [this, c](int index) {
        Guarded([&] { static_cast<forms::TabStrip*>(c)->UserSelectTab(index); });
        Resync(*c);
      });
      break;
    default:
      break;
  }
}

void FormRenderer::Resync(forms::Control& control) {
  ControlView* view = ViewOf(control);
  if (view == nullptr || !view->widget) return;
  switch (control.Type()) {
    case ControlType::CheckBox:
    case ControlType::OptionButton:
    case ControlType::Slider:
    case ControlType::UpDown:
      Apply(control, *view, forms::Prop::Value);
      break;
    case ControlType::TextBox:
      Apply(control, *view, forms::Prop::Text);
      break;
    case ControlType::TabStrip:
      Apply(control, *view, forms::Prop::Tab);
      break;
    default:
      break;
  }
}

void FormRenderer::PropertyChanged(forms::Control& control, forms::Prop prop) {
  if (control.Type() == ControlType::Form) {
    if (FormView* fv = ViewOf(static_cast<forms::Form&>(control))) {
      ApplyForm(static_cast<forms::Form&>(control), *fv, prop);
    }
    return;
  }
  if (control.Type() == ControlType::Menu) {
    if (control.Container() == nullptr || prop == forms::Prop::Container) {
      if (FormView* fv = ViewOf(control.Owner())) RebuildMenuBar(control.Owner(), *fv);
    }
    return;
  }
  FormView* fv = ViewOf(control.Owner());
  if (fv == nullptr) return;
  auto it = fv->controls.find(&control);
  if (it == fv->controls.end() || !it->second.widget) return;
  if (prop == forms::Prop::Container) {
    it->second.widget->setParent(ParentFor(*fv, control));
    ApplyAll(control, it->second);
    return;
  }
  Apply(control, it->second, prop);
}

void FormRenderer::FillMenu(forms::Form& form, forms::Control* parent, QMenu& menu, bool popup) {
  for (forms::Control* c : form.Controls()) {
    if (c->Type() != ControlType::Menu || c->Container() != parent || !c->Visible) continue;
    auto* entry = static_cast<forms::Menu*>(c);
    const QString caption = QString::fromStdString(entry->Caption.Get());
    bool hasChildren = false;
    for (forms::Control* other : form.Controls()) hasChildren = hasChildren || other->Container() == c;
    if (caption == "-") {
      menu.addSeparator();
    } else if (hasChildren) {
      QMenu* sub = menu.addMenu(caption);
      sub->setEnabled(entry->Enabled);
      FillMenu(form, c, *sub, popup);
    } else {
      QAction* action = menu.addAction(caption);
      action->setObjectName(QString::fromStdString(entry->FullName()));
      action->setData(QVariant::fromValue(reinterpret_cast<quintptr>(entry)));
      action->setEnabled(entry->Enabled);
      action->setCheckable(entry->Checked);
      action->setChecked(entry->Checked);
      // A pop-up's entries are clicked by PopupMenu once the menu has closed.
      if (!popup) connect(action, &QAction::triggered, this, [entry] { Guarded([entry] { entry->UserClick(); }); });
    }
  }
}

void FormRenderer::PopupMenu(forms::Form& form, forms::Menu& menu) {
  // The pop-up often opens from inside another widget's mouse handler (the tray icon's). The
  // chosen entry's Click runs from the event loop once the menu, and that handler, are done:
  // a Click that ends the program removes the tray icon and the windows, which must not happen
  // under their own feet.
  QMenu popup(WindowOf(form));
  popup.setPalette(skin::Palette());
  FillMenu(form, &menu, popup, /*popup=*/true);
  if (popup.isEmpty()) return;
  QAction* chosen = popup.exec(QCursor::pos());
  if (chosen == nullptr) return;
  auto* entry = reinterpret_cast<forms::Menu*>(chosen->data().value<quintptr>());
  if (entry == nullptr) return;
  QTimer::singleShot(0, this, [entry] {
    Guarded([entry] { entry->UserClick(); });
  });
}

void FormRenderer::RebuildMenuBar(forms::Form& form, FormView& fv) {
  bool any = false;
  for (forms::Control* c : form.Controls()) {
    any = any || (c->Type() == ControlType::Menu && c->Container() == nullptr && c->Visible);
  }
  if (!any) {
    delete fv.menuBar.data();
    return;
  }
  if (!fv.menuBar) fv.menuBar = new QMenuBar(fv.window);
  fv.menuBar->clear();
  for (forms::Control* c : form.Controls()) {
    if (c->Type() != ControlType::Menu || c->Container() != nullptr || !c->Visible) continue;
    QMenu* top = fv.menuBar->addMenu(QString::fromStdString(static_cast<forms::Menu*>(c)->Caption.Get()));
    FillMenu(form, c, *top, false);
  }
  fv.menuBar->setGeometry(0, 0, fv.window->width(), fv.menuBar->sizeHint().height());
  fv.menuBar->show();
}

QStringList FormRenderer::SaveScreenshots(const QString& dir, QStringList* failed) const {
  QStringList written;
  QDir().mkpath(dir);
  for (const auto& [form, view] : forms_) {
    if (!view->window || !form->Visible) continue;
    const QString file = QDir(dir).filePath(QString::fromStdString(form->Name()) + ".png");
    if (view->window->grab().save(file, "PNG")) {
      written << file;
    } else if (failed != nullptr) {
      *failed << file + ": cannot be written";
    }
  }
  written.sort();
  return written;
}

}  // namespace veltrix::qt
