// The monitor pages are legible at the window's size in every language: each text fits the
// control that shows it (with a margin inside a boxed reading), and no text runs into another
// text or into a gauge, a spinner or a bar beside it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QTabBar>
#include <cctype>
#include <string>
#include <tuple>
#include <vector>

#include "monitor/ui/frmdoctor_layout.h"
#include "tests/frontends/qt/main_window_on_sim.h"

namespace veltrix::qt {
namespace {

struct Piece {
  QWidget* widget;
  QRect rect;  // what it draws, in window coordinates
  QString text;
};

// The rectangle a label's text takes, or the whole widget for other controls.
QRect DrawnRect(QWidget* widget, QWidget* window) {
  QRect local = widget->rect();
  if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && !label->text().isEmpty()) {
    const QFontMetrics fm(label->font());
    const QSize size(std::min(fm.horizontalAdvance(label->text()), label->contentsRect().width()),
                     fm.height());
    local = QStyle::alignedRect(label->layoutDirection(), label->alignment(), size, label->contentsRect());
  }
  // Texts need a little air between them to read as two.
  return QRect(widget->mapTo(window, local.topLeft()), local.size()).adjusted(-2, 0, 2, 0);
}

// Why a text does not fit its control; empty when it does.
std::string Misfit(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    const QString text = label->text();
    if (text.isEmpty()) return {};
    const QFontMetrics fm(label->font());
    const bool boxed = label->frameShape() != QFrame::NoFrame;
    const int room = label->contentsRect().width() - (boxed ? 4 : 0);  // a reading never touches its box
    const bool oneLine = fm.horizontalAdvance(text) <= room && fm.height() <= label->contentsRect().height();
    const bool wrapped = !boxed && label->wordWrap() && text.contains(' ') &&
                         label->heightForWidth(label->width()) <= label->height();
    if (oneLine || wrapped) return {};
    return "\"" + text.toStdString() + "\" needs " + std::to_string(fm.horizontalAdvance(text)) +
           " px, has " + std::to_string(room);
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    if (button->text().isEmpty()) return {};
    if (button->sizeHint().width() <= button->width()) return {};
    return "\"" + button->text().toStdString() + "\" needs " + std::to_string(button->sizeHint().width()) +
           " px, has " + std::to_string(button->width());
  }
  return {};
}

using Param = std::tuple<std::string, std::uint32_t>;

class PageLayout : public ::testing::TestWithParam<Param> {};

TEST_P(PageLayout, EveryTextFitsAndNothingRunsTogether) {
  const auto& [model, lcid] = GetParam();
  MainWindowOnSim run(model, lcid);
  ASSERT_TRUE(run.started);
  run.sim.AdvanceMs(3000);
  auto& main = run.main();
  QWidget* window = run.renderer->WindowOf(main);
  ASSERT_NE(window, nullptr);

  for (int page : {monitor::layout::kPageVoltage, monitor::layout::kPageTempFan,
                   monitor::layout::kPageMonitoring, monitor::layout::kPageSetting}) {
    main.SSTabMain.UserSelectTab(page);
    QApplication::processEvents();
    std::vector<Piece> texts;
    std::vector<Piece> others;
    for (QWidget* w : window->findChildren<QWidget*>()) {
      if (!w->isVisible() || w->window() != window || qobject_cast<QGroupBox*>(w) != nullptr ||
          qobject_cast<QTabBar*>(w) != nullptr ||
          !w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty() ||
          w->testAttribute(Qt::WA_TransparentForMouseEvents)) {
        continue;  // containers hold the others; a line drawn across a row is meant to cross it
      }
      const std::string misfit = Misfit(w);
      EXPECT_TRUE(misfit.empty()) << "page " << page << ": " << misfit;
      const bool text =
          (qobject_cast<QLabel*>(w) != nullptr && !qobject_cast<QLabel*>(w)->text().isEmpty()) ||
          qobject_cast<QAbstractButton*>(w) != nullptr;
      (text ? texts : others)
          .push_back({w, DrawnRect(w, window), text ? w->property("text").toString() : QString()});
    }
    for (std::size_t a = 0; a < texts.size(); ++a) {
      for (std::size_t b = a + 1; b < texts.size(); ++b) {
        EXPECT_FALSE(texts[a].rect.intersects(texts[b].rect))
            << "page " << page << ": \"" << texts[a].text.toStdString() << "\" runs into \""
            << texts[b].text.toStdString() << "\"";
      }
      for (const Piece& other : others) {
        EXPECT_FALSE(texts[a].rect.intersects(other.rect))
            << "page " << page << ": \"" << texts[a].text.toStdString() << "\" runs into a "
            << other.widget->metaObject()->className();
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BoardsAndLanguages, PageLayout,
                         ::testing::Combine(::testing::Values("ZQ51/ZQ51S", "ZT70"),
                                            ::testing::Values(1033u, 2052u, 1028u)),
                         [](const ::testing::TestParamInfo<Param>& param) {
                           std::string name =
                               std::get<0>(param.param) + "_" + std::to_string(std::get<1>(param.param));
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace veltrix::qt
