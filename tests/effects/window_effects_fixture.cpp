#include "tests/effects/window_effects_fixture.h"

#include <QApplication>
#include <QTest>

#include "app/program_values.h"
#include "effects/window_effects.h"
#include "platform/composition.h"
#include "platform/qt/offscreen_composition.h"
#include "platform/qt/widget_handle.h"
#include "ui/about_window.h"
#include "ui/control.h"
#include "ui/loader.h"
#include "ui/main_window.h"

void WindowEffectsTest::SetUp() {
  // A system look whose inactive colours differ from the active ones, so a
  // window that keeps its active look can be told apart.
  saved_palette_ = QApplication::palette();
  QPalette p = saved_palette_;
  p.setColor(QPalette::Active, QPalette::Highlight, QColor(0x30, 0x60, 0xC0));
  p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0xB0, 0xB0, 0xB0));
  p.setColor(QPalette::Active, QPalette::WindowText, QColor(0x00, 0x00, 0x00));
  p.setColor(QPalette::Inactive, QPalette::WindowText, QColor(0x60, 0x60, 0x60));
  QApplication::setPalette(p);
  特效对象 = std::make_unique<窗口特效>();
  原编码名.clear();
  现编码名.clear();
}

void WindowEffectsTest::TearDown() {
  if (ui::窗口* about = ui::取已载入窗口(ui::kAboutWindowId)) about->关闭();
  if (ui::窗口* main = ui::主窗口()) main->关闭();
  EXPECT_TRUE(QTest::qWaitFor([] {
    return ui::主窗口() == nullptr && ui::取已载入窗口(ui::kAboutWindowId) == nullptr;
  }));
  platform::set_offscreen_composition(false);
  特效对象.reset();
  QApplication::setPalette(saved_palette_);
}

ui::窗口* WindowEffectsTest::load_main(bool composition) {
  platform::set_offscreen_composition(composition);
  return ui::载入窗口(ui::主窗口定义(), false);
}

ui::窗口* WindowEffectsTest::load_about(bool composition) {
  platform::set_offscreen_composition(composition);
  return ui::载入窗口(ui::关于窗口定义(), false);
}

QWidget* WindowEffectsTest::widget_of(ui::窗口& window) {
  return platform::widget_for_handle(window.取窗口句柄());
}

QWidget* WindowEffectsTest::widget_of(ui::控件& control) {
  return platform::widget_for_handle(control.取窗口句柄());
}

QImage WindowEffectsTest::render(ui::窗口& window) {
  QWidget* w = widget_of(window);
  return w != nullptr ? w->grab().toImage().convertToFormat(QImage::Format_ARGB32) : QImage();
}
