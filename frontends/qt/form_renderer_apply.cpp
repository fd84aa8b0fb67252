// Mirroring model properties onto widgets.
#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMovie>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolTip>
#include <algorithm>

#include "frontends/qt/control_widgets.h"
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
  QPalette palette = widget->palette();
  const bool systemBack = control.BackColor == forms::kColorButtonFace;
  const bool systemFore = control.ForeColor == forms::kColorBlack;
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
  const bool fills = control.Type() == ControlType::Label || control.Type() == ControlType::PictureBox;
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
      auto* label = static_cast<QLabel*>(view.widget.data());
      view.movie->stop();
      view.movie->setFileName(gif.Picture.Get().empty() ? QString()
                                                        : ProgramFilePath(programFolder_, gif.Picture));
      label->setMovie(view.movie);
      label->setScaledContents(true);
      if (gif.Playing && !gif.Picture.Get().empty()) view.movie->start();
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
      if (type == ControlType::AnimatedGif && view.movie) {
        auto& gif = static_cast<forms::AnimatedGif&>(control);
        if (gif.Playing) {
          if (!gif.Picture.Get().empty()) view.movie->start();  // nothing to play yet
        } else {
          view.movie->setPaused(true);
        }
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
      window->setWindowFlag(Qt::FramelessWindowHint, form.BorderStyle == 0);
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
    case Prop::Visible:
    case Prop::WindowState:
      if (!form.Visible) {
        window->hide();
        return;
      }
      if (!fv.placed) {
        // A form the program never placed opens in the middle of the screen.
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
          const QRect area = screen->availableGeometry();
          window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
        }
        fv.placed = true;
      }
      if (form.WindowState == 1) {
        window->showMinimized();
      } else {
        window->showNormal();
        window->raise();
      }
      return;
    default:
      return;
  }
}

}  // namespace veltrix::qt
