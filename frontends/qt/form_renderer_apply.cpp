// Mirroring model properties onto widgets.
#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolTip>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "frontends/qt/animation_widget.h"
#include "frontends/qt/control_widgets.h"
#include "frontends/qt/event_guard.h"
#include "frontends/qt/form_renderer.h"
#include "frontends/qt/form_window.h"
#include "frontends/qt/program_files.h"
#include "frontends/qt/skin.h"

namespace veltrix::qt {

using forms::ControlType;
using forms::Prop;

namespace {

QString Text(const std::string& s) {
  QString text = QString::fromStdString(s);
  text.remove('\r');
  return text;
}

Qt::Alignment LabelAlignment(int alignment) {
  switch (alignment) {
    case 1:
      return Qt::AlignRight | Qt::AlignVCenter;
    case 2:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

// Raises a window; the offscreen platform has no stacking (and complains about it).
void Raise(QWidget* window) {
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) window->raise();
}

// Whether the control sits on a tab page that is not selected.
bool OnHiddenPage(const forms::Control& c) {
  const forms::Control* parent = c.Container();
  return parent != nullptr && parent->Type() == ControlType::TabStrip && c.TabPage() >= 0 &&
         static_cast<const forms::TabStrip*>(parent)->Tab.Get() != c.TabPage();
}

}  // namespace

void FormRenderer::ApplyAll(forms::Control& control, ControlView& view) {
  for (Prop p : {Prop::Left, Prop::Enabled, Prop::ToolTipText, Prop::FontSize, Prop::BackColor, Prop::Caption,
                 Prop::Text, Prop::Min, Prop::Value, Prop::Alignment, Prop::BorderStyle, Prop::Picture,
                 Prop::Tabs, Prop::Locked, Prop::MaxLength, Prop::X1, Prop::Playing, Prop::Visible}) {
    Apply(control, view, p);
  }
}

void FormRenderer::ApplyVisibility(forms::Control& control, ControlView& view) {
  view.widget->setVisible(control.Visible && !OnHiddenPage(control));
}

void FormRenderer::ApplyColors(forms::Control& control, QWidget* widget) {
  const bool systemBack = control.BackColor == forms::kColorButtonFace;
  const bool systemFore = control.ForeColor == forms::kColorBlack;
  const bool fills = control.Type() == ControlType::Label || control.Type() == ControlType::PictureBox;
  if (systemBack && systemFore) {
    // The skin's own colours: the widget shares the application's palette.
    if (widget->testAttribute(Qt::WA_SetPalette)) widget->setPalette(QPalette());
    widget->setAutoFillBackground(false);
    return;
  }
  QPalette palette = widget->palette();
  QColor fore = systemFore ? skin::kText : skin::FromColorRef(control.ForeColor);
  if (!systemBack) {
    const QColor back = skin::FromColorRef(control.BackColor);
    palette.setColor(QPalette::Window, back);
    palette.setColor(QPalette::Base, back);
    palette.setColor(QPalette::Button, back);
    // Dark text on the light status colours (red, green), light text on dark ones.
    if (systemFore && back.lightness() > 110) fore = skin::kWindow;
  }
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    palette.setColor(QPalette::Active, role, fore);
    palette.setColor(QPalette::Inactive, role, fore);
  }
  widget->setPalette(palette);
  widget->setAutoFillBackground(fills && !systemBack);
}

void FormRenderer::ApplyPicture(forms::Control& control, ControlView& view) {
  switch (control.Type()) {
    case ControlType::Image: {
      auto& image = static_cast<forms::Image&>(control);
      auto* label = static_cast<QLabel*>(view.widget.data());
      label->setPixmap(LoadProgramPicture(programFolder_, image.Picture));
      label->setScaledContents(image.Stretch);
      break;
    }
    case ControlType::PictureBox: {
      auto& box = static_cast<forms::PictureBox&>(control);
      static_cast<DrawingWidget*>(view.widget.data())
          ->SetPixmap(LoadProgramPicture(programFolder_, box.Picture));
      break;
    }
    case ControlType::AnimatedGif: {
      auto& gif = static_cast<forms::AnimatedGif&>(control);
      auto* animation = static_cast<AnimationWidget*>(view.widget.data());
      animation->SetAnimation(LoadProgramAnimation(programFolder_, gif.Picture));
      animation->SetPlaying(gif.Playing);
      break;
    }
    default:
      break;
  }
}

void FormRenderer::RebuildTabs(forms::TabStrip& strip, ControlView& view) {
  QTabBar* bar = view.tabBar;
  const QSignalBlocker block(bar);
  while (bar->count() > strip.Tabs) bar->removeTab(bar->count() - 1);
  while (bar->count() < strip.Tabs) bar->addTab(QString());
  for (int t = 0; t < strip.Tabs; ++t) bar->setTabText(t, Text(strip.TabCaption(t)));
  bar->setCurrentIndex(strip.Tab);
  bar->setGeometry(0, 0, view.widget->width(), bar->sizeHint().height());
}

void FormRenderer::LayOutStripChildren(forms::TabStrip& strip) {
  FormView* fv = ViewOf(strip.Owner());
  if (fv == nullptr) return;
  for (auto& [control, cv] : fv->controls) {
    if (control->Container() == &strip && cv.widget)
      ApplyVisibility(*const_cast<forms::Control*>(control), cv);
  }
}

void FormRenderer::Apply(forms::Control& control, ControlView& view, Prop prop) {
  QWidget* w = view.widget;
  if (w == nullptr) return;
  const ControlType type = control.Type();
  switch (prop) {
    case Prop::Left:
    case Prop::Top:
    case Prop::Width:
    case Prop::Height:
      if (type == ControlType::Line) {
        static_cast<LineWidget*>(w)->Sync();
      } else {
        w->setGeometry(Px(control.Left), Px(control.Top), std::max(0, Px(control.Width)),
                       std::max(0, Px(control.Height)));
        if (type == ControlType::TabStrip) RebuildTabs(static_cast<forms::TabStrip&>(control), view);
      }
      return;
    case Prop::Visible:
      ApplyVisibility(control, view);
      return;
    case Prop::Enabled:
      w->setEnabled(control.Enabled);
      return;
    case Prop::ToolTipText:
      w->setToolTip(Text(control.ToolTipText));
      // A tip on screen follows its text (a read-out that changes under the pointer).
      if (QToolTip::isVisible() && w->underMouse()) QToolTip::showText(QCursor::pos(), w->toolTip(), w);
      return;
    case Prop::BackColor:
    case Prop::ForeColor:
      ApplyColors(control, w);
      return;
    case Prop::FontSize:
    case Prop::FontBold:
      w->setFont(skin::Font(control.FontSize, control.FontBold));
      if (type == ControlType::TabStrip) RebuildTabs(static_cast<forms::TabStrip&>(control), view);
      return;
    case Prop::Caption:
      switch (type) {
        case ControlType::Label:
          static_cast<QLabel*>(w)->setText(Text(static_cast<forms::Label&>(control).Caption));
          break;
        case ControlType::CheckBox:
          static_cast<QAbstractButton*>(w)->setText(Text(static_cast<forms::CheckBox&>(control).Caption));
          break;
        case ControlType::OptionButton:
          static_cast<QAbstractButton*>(w)->setText(Text(static_cast<forms::OptionButton&>(control).Caption));
          break;
        case ControlType::CommandButton:
          static_cast<QAbstractButton*>(w)->setText(
              Text(static_cast<forms::CommandButton&>(control).Caption));
          break;
        case ControlType::Frame:
          static_cast<QGroupBox*>(w)->setTitle(Text(static_cast<forms::Frame&>(control).Caption));
          break;
        default:
          break;
      }
      return;
    case Prop::Text:
      if (auto* lines = qobject_cast<QPlainTextEdit*>(w)) {
        // The model's line breaks are CR LF; the widget's are LF.
        QString text = Text(static_cast<forms::TextBox&>(control).Text);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (lines->toPlainText() != text) {
          const QSignalBlocker block(lines);
          lines->setPlainText(text);
        }
      } else if (type == ControlType::TextBox) {
        auto* edit = static_cast<QLineEdit*>(w);
        const QString text = Text(static_cast<forms::TextBox&>(control).Text);
        if (edit->text() != text) {
          const QSignalBlocker block(edit);
          edit->setText(text);
        }
      }
      return;
    case Prop::Value:
    case Prop::Min:
    case Prop::Max:
    case Prop::SelStart:
    case Prop::SelLength:
      if (type == ControlType::CheckBox) {
        const int v = static_cast<forms::CheckBox&>(control).Value;
        auto* box = static_cast<QCheckBox*>(w);
        const QSignalBlocker block(box);
        box->setTristate(v == 2);
        box->setCheckState(v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
      } else if (type == ControlType::OptionButton) {
        auto* radio = static_cast<QRadioButton*>(w);
        const QSignalBlocker block(radio);
        radio->setChecked(static_cast<forms::OptionButton&>(control).Value);
      } else if (type == ControlType::ProgressBar) {
        auto& range = static_cast<forms::ProgressBar&>(control);
        auto* bar = static_cast<QProgressBar*>(w);
        bar->setInvertedAppearance(range.Min > range.Max);
        bar->setRange(std::min<int>(range.Min, range.Max), std::max<int>(range.Min, range.Max));
        bar->setValue(range.Value);
      } else {
        w->update();
      }
      return;
    case Prop::Alignment:
      if (type == ControlType::Label) {
        static_cast<QLabel*>(w)->setAlignment(LabelAlignment(static_cast<forms::Label&>(control).Alignment));
      }
      return;
    case Prop::BorderStyle:
      if (type == ControlType::Label) {
        auto* label = static_cast<QLabel*>(w);
        const bool boxed = static_cast<forms::Label&>(control).BorderStyle == 1;
        label->setFrameStyle(boxed ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
        label->setLineWidth(boxed ? 1 : 0);
      }
      return;
    case Prop::Picture:
    case Prop::Stretch:
      ApplyPicture(control, view);
      return;
    case Prop::Playing:
      if (type == ControlType::AnimatedGif) {
        static_cast<AnimationWidget*>(w)->SetPlaying(static_cast<forms::AnimatedGif&>(control).Playing);
      }
      return;
    case Prop::X1:
    case Prop::Y1:
    case Prop::X2:
    case Prop::Y2:
    case Prop::BorderColor:
    case Prop::BorderWidth:
      if (type == ControlType::Line) static_cast<LineWidget*>(w)->Sync();
      return;
    case Prop::Tabs:
    case Prop::TabCaption:
      if (type == ControlType::TabStrip) RebuildTabs(static_cast<forms::TabStrip&>(control), view);
      return;
    case Prop::Tab:
      if (type == ControlType::TabStrip) {
        auto& strip = static_cast<forms::TabStrip&>(control);
        const QSignalBlocker block(view.tabBar.data());
        view.tabBar->setCurrentIndex(strip.Tab);
        LayOutStripChildren(strip);
      }
      return;
    case Prop::Locked:
      if (auto* lines = qobject_cast<QPlainTextEdit*>(w)) {
        lines->setReadOnly(static_cast<forms::TextBox&>(control).Locked);
      } else if (type == ControlType::TextBox) {
        static_cast<QLineEdit*>(w)->setReadOnly(static_cast<forms::TextBox&>(control).Locked);
      }
      return;
    case Prop::MaxLength:
      if (type == ControlType::TextBox && qobject_cast<QLineEdit*>(w) != nullptr) {
        const int max = static_cast<forms::TextBox&>(control).MaxLength;
        static_cast<QLineEdit*>(w)->setMaxLength(max > 0 ? max : 32767);
      }
      return;
    case Prop::Drawing:
    case Prop::AutoRedraw:
    case Prop::DrawWidth:
    case Prop::FillColor:
    case Prop::FillStyle:
    case Prop::DrawStyle:
      w->update();
      return;
    default:
      return;
  }
}

void FormRenderer::ApplyForm(forms::Form& form, FormView& fv, Prop prop) {
  FormWindow* window = fv.window;
  if (window == nullptr) return;
  switch (prop) {
    case Prop::Caption:
      window->setWindowTitle(Text(form.Caption));
      return;
    case Prop::BorderStyle: {
      const bool visible = window->isVisible();
      // A fixed dialog is a dialog on the desktop too: the window manager keeps it above the
      // window it belongs to.
      Qt::WindowFlags flags = window->windowFlags() & ~Qt::WindowType_Mask;
      flags |= IsDialog(form) ? Qt::Dialog : Qt::Window;
      flags.setFlag(Qt::FramelessWindowHint, form.BorderStyle == 0);
      if (flags != window->windowFlags()) window->setWindowFlags(flags);
      if (visible) window->show();
      return;
    }
    case Prop::Left:
    case Prop::Top:
    case Prop::Width:
    case Prop::Height:
      window->setFixedSize(std::max(1, Px(form.Width)), std::max(1, Px(form.Height)));
      if (fv.menuBar) fv.menuBar->setGeometry(0, 0, window->width(), fv.menuBar->sizeHint().height());
      if (form.Left != 0 || form.Top != 0) {
        window->move(Px(form.Left), Px(form.Top));
        fv.placed = true;
      }
      return;
    case Prop::WindowState:
      if (fv.mirroringState) return;  // the desktop did it already
      [[fallthrough]];
    case Prop::Visible:
      if (!form.Visible) {
        window->hide();
        return;
      }
      ShowForm(form, fv);
      return;
    default:
      return;
  }
}

bool FormRenderer::IsDialog(const forms::Form& form) const {
  return form.BorderStyle == 3 && form.Name() != mainForm_;
}

void FormRenderer::ShowForm(forms::Form& form, FormView& fv) {
  FormWindow* window = fv.window;
  if (!fv.placed) {
    Cascade(fv);
    fv.placed = true;
  }
  if (IsDialog(form)) KeepAboveMain(fv);
  if (form.WindowState == 1) {
    window->showMinimized();
    return;
  }
  const bool appearing = !window->isVisible();
  window->showNormal();
  Raise(window);
  if (IsDialog(form)) return;
  // Bringing a window forward (the main window from the tray) never covers an open alarm.
  if (appearing) RelinkDialogs();
  RaiseDialogs();
}

void FormRenderer::Cascade(FormView& fv) {
  // A form the program never placed opens in the middle of the screen; while others opened
  // that way are still there, one step further down and right for each, so none hides another.
  constexpr int kStep = 28;
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  FormWindow* window = fv.window;
  const QPoint centred = area.center() - QPoint(window->width() / 2, window->height() / 2);
  const int room =
      std::min(area.right() - window->width() - centred.x(), area.bottom() - window->height() - centred.y());
  const int spots = std::max(1, room / kStep + 1);
  std::vector<bool> taken(static_cast<std::size_t>(spots), false);
  int open = 0;
  for (const auto& [form, view] : forms_) {
    if (view.get() == &fv || view->cascadeSlot < 0 || !form->Visible) continue;
    taken[static_cast<std::size_t>(view->cascadeSlot % spots)] = true;
    ++open;
  }
  int slot = 0;
  while (slot < spots && taken[static_cast<std::size_t>(slot)]) ++slot;
  if (slot == spots) slot = open % spots;  // more windows than room: start over at the centre
  fv.cascadeSlot = slot;
  window->move(centred + QPoint(slot * kStep, slot * kStep));
}

void FormRenderer::KeepAboveMain(FormView& fv) {
  QWidget* main = mainForm_.empty() ? nullptr : WindowOf(mainForm_);
  if (main == nullptr || main == fv.window) return;
  fv.window->winId();  // both need their platform windows for the link
  main->winId();
  if (fv.window->windowHandle() != nullptr)
    fv.window->windowHandle()->setTransientParent(main->windowHandle());
}

void FormRenderer::RelinkDialogs() {
  // A window manager reads a dialog's link to the main window when the dialog appears, and
  // ignores it while the main window is not on screen. Dialogs that appeared while Veltrix sat
  // in the tray would fall behind the main window at the first click on it, so once the main
  // window is up they appear again, linked to it.
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
  for (const auto& [form, view] : forms_) {
    if (!view->window || !form->Visible || !IsDialog(*form) || !view->window->isVisible()) continue;
    const QPoint at = view->window->pos();
    view->window->hide();
    KeepAboveMain(*view);
    view->window->move(at);
    view->window->show();
  }
}

void FormRenderer::RaiseDialogs() {
  for (const auto& [form, view] : forms_) {
    if (view->window && form->Visible && IsDialog(*form) && view->window->isVisible()) Raise(view->window);
  }
}

void FormRenderer::TakeWindowState(forms::Form& form) {
  FormView* fv = ViewOf(form);
  if (fv == nullptr || !fv->window || !form.Visible) return;
  const int state = fv->window->isMinimized() ? 1 : 0;
  if (form.WindowState == state) return;
  fv->mirroringState = true;
  Guarded([&form, state] { form.WindowState = state; });
  fv->mirroringState = false;
}

}  // namespace veltrix::qt
