// The created handlers of the two windows, run through real loading, with
// the compositor switched off and on.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>

#include "app/program_values.h"
#include "effects/version_vista.h"
#include "effects/window_effects.h"
#include "platform/colour.h"
#include "platform/composition.h"
#include "platform/window_shape.h"
#include "tests/effects/window_effects_fixture.h"
#include "text/gbk_literal.h"
#include "ui/control.h"
#include "ui/main_window.h"

namespace {

// Inactive colours that equal the active ones in every role: the content
// keeps its active look when the window loses activation.
void expect_active_look_kept(QWidget* w) {
  const QPalette p = w->palette();
  for (int r = 0; r < QPalette::NColorRoles; ++r) {
    const auto role = static_cast<QPalette::ColorRole>(r);
    EXPECT_EQ(p.color(QPalette::Inactive, role), p.color(QPalette::Active, role)) << "role " << r;
  }
}

bool glass_pixel(QRgb px) {
  return qAlpha(px) == 0x80 && std::abs(qRed(px) - kGlassColour.red()) <= 2 &&
         std::abs(qGreen(px) - kGlassColour.green()) <= 2 && std::abs(qBlue(px) - kGlassColour.blue()) <= 2;
}

bool opaque_key_pixel(QRgb px) { return px == kGlassColour.rgba(); }

}  // namespace

TEST_F(WindowEffectsTest, CompositionOffGivesBothWindowsOnlyTheBackgroundAndTheActiveFrame) {
  ui::窗口* main = load_main(false);
  ASSERT_NE(main, nullptr);
  ui::窗口* about = load_about(false);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(原编码名, "UTF-8"_gbk);
  EXPECT_EQ(现编码名, "GB18030"_gbk);
  if (!是否Vista或更高()) {
    // An older system: the windows keep the look of their definitions.
    EXPECT_EQ(main->背景颜色(), platform::kButtonFace);
    EXPECT_FALSE(main->框架保持激活());
    return;
  }

  for (ui::窗口* window : {main, about}) {
    SCOPED_TRACE(window->定义().名称);
    QWidget* w = widget_of(*window);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(window->背景颜色(), kGlass);
    EXPECT_EQ(w->palette().color(QPalette::Window), kGlassColour);
    EXPECT_TRUE(window->框架保持激活());
    expect_active_look_kept(w);

    const std::uintptr_t handle = window->取窗口句柄();
    EXPECT_EQ(platform::extended_style(handle), 0u);
    EXPECT_FALSE(platform::colour_key(handle).has_value());
    EXPECT_FALSE(platform::glass_frame(handle).has_value());
    EXPECT_FALSE(w->testAttribute(Qt::WA_TranslucentBackground));
    for (ui::控件* c : window->取控件列表()) {
      SCOPED_TRACE(c->名称());
      EXPECT_FALSE(platform::control_has_region(c->取窗口句柄()));
      EXPECT_EQ(c->背景颜色(), platform::kButtonFace);
    }
    // The background is painted opaque in the key colour.
    const QImage image = render(*window);
    EXPECT_TRUE(opaque_key_pixel(image.pixel(5, 50))) << std::hex << image.pixel(5, 50);
  }
  // The labels keep the button face behind their text.
  QWidget* label = widget_of(ui::主窗口控件::标签_原信息());
  ASSERT_NE(label, nullptr);
  EXPECT_NE(label->palette().color(QPalette::Window), kGlassColour);
}

TEST_F(WindowEffectsTest, CompositionOnMakesTheMainWindowGlassWithRoundedButtonsAndKeyedLabels) {
  if (!是否Vista或更高()) GTEST_SKIP() << "the handlers apply no effects on this system";
  const int regions_before = platform::live_region_count();
  ui::窗口* main = load_main(true);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(原编码名, "UTF-8"_gbk);
  EXPECT_EQ(现编码名, "GB18030"_gbk);

  QWidget* w = widget_of(*main);
  ASSERT_NE(w, nullptr);
  const std::uintptr_t handle = main->取窗口句柄();
  EXPECT_EQ(main->背景颜色(), kGlass);
  EXPECT_TRUE(main->框架保持激活());
  expect_active_look_kept(w);
  EXPECT_EQ(platform::extended_style(handle), 0x00080000u);
  EXPECT_TRUE(w->testAttribute(Qt::WA_TranslucentBackground));
  EXPECT_EQ(platform::colour_key(handle), std::optional<std::uint32_t>(kGlass));
  const auto glass = platform::glass_frame(handle);
  ASSERT_TRUE(glass.has_value());
  EXPECT_EQ(glass->left, -1);
  EXPECT_EQ(glass->right, -1);
  EXPECT_EQ(glass->top, -1);
  EXPECT_EQ(glass->bottom, -1);

  // Four rounded buttons; every region handle was freed again.
  for (ui::控件* b : {&ui::主窗口控件::按钮_选择(), &ui::主窗口控件::按钮_转换(), &ui::主窗口控件::按钮2(),
                      &ui::主窗口控件::按钮_选择1()}) {
    SCOPED_TRACE(b->名称());
    QWidget* bw = widget_of(*b);
    ASSERT_NE(bw, nullptr);
    EXPECT_EQ(bw->mask().boundingRect(), QRect(1, 1, b->宽度() - 1, b->高度() - 1));
  }
  EXPECT_EQ(platform::live_region_count(), regions_before);

  // 按钮_转换, 64 x 32: from (1, 1) to (64, 32), right and bottom edges
  // excluded, the very corner pixels cut.
  const QRegion mask = widget_of(ui::主窗口控件::按钮_转换())->mask();
  for (QPoint inside : {QPoint(2, 1), QPoint(1, 2), QPoint(32, 16), QPoint(62, 30), QPoint(62, 31),
                        QPoint(63, 30), QPoint(2, 31)}) {
    EXPECT_TRUE(mask.contains(inside)) << inside.x() << "," << inside.y();
  }
  for (QPoint outside : {QPoint(0, 0), QPoint(1, 1), QPoint(63, 1), QPoint(1, 31), QPoint(63, 31),
                         QPoint(0, 16), QPoint(32, 0), QPoint(64, 16), QPoint(32, 32)}) {
    EXPECT_FALSE(mask.contains(outside)) << outside.x() << "," << outside.y();
  }

  // Labels take the key colour; combo and list boxes are left as defined.
  for (ui::控件* l : {&ui::主窗口控件::标签_原信息(), &ui::主窗口控件::标签_现信息()}) {
    EXPECT_EQ(l->背景颜色(), kGlass);
    EXPECT_EQ(widget_of(*l)->palette().color(QPalette::Window), kGlassColour);
    EXPECT_EQ(widget_of(*l)->palette().color(QPalette::WindowText), QColor(Qt::black));
  }
  for (ui::控件* c : {&ui::主窗口控件::组合框_原编码(), &ui::主窗口控件::组合框_现编码(),
                      &ui::主窗口控件::列表框_原始(), &ui::主窗口控件::列表框_现在()}) {
    SCOPED_TRACE(c->名称());
    EXPECT_FALSE(platform::control_has_region(c->取窗口句柄()));
    EXPECT_EQ(c->背景颜色(), platform::kButtonFace);
  }

  // Rendered: the background and the labels' background show glass, the
  // button faces, the label text and the list boxes stay opaque.
  const QImage image = render(*main);
  EXPECT_TRUE(glass_pixel(image.pixel(5, 50))) << std::hex << image.pixel(5, 50);
  EXPECT_TRUE(glass_pixel(image.pixel(300, 45))) << std::hex << image.pixel(300, 45);
  EXPECT_TRUE(glass_pixel(image.pixel(15 + 3, 299 + 3))) << std::hex << image.pixel(18, 302);
  EXPECT_EQ(qAlpha(image.pixel(267 + 6, 8 + 6)), 0xFF);   // 按钮_转换's face
  EXPECT_EQ(qAlpha(image.pixel(15 + 120, 56 + 120)), 0xFF);  // 列表框_原始
  int opaque_in_label = 0;
  for (int x = 15; x < 15 + 244; ++x) {
    if (qAlpha(image.pixel(x, 299 + 12)) == 0xFF) ++opaque_in_label;
  }
  EXPECT_GT(opaque_in_label, 0) << "the label's text is drawn opaque";
  // The pixel outside the button's region is the window's glass, not the
  // button's face.
  EXPECT_TRUE(glass_pixel(image.pixel(267, 8))) << std::hex << image.pixel(267, 8);
}

TEST_F(WindowEffectsTest, CompositionOnRoundsTheAboutButtonsAndKeysItsLabel) {
  if (!是否Vista或更高()) GTEST_SKIP() << "the handlers apply no effects on this system";
  ui::窗口* about = load_about(true);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(platform::extended_style(about->取窗口句柄()), 0x00080000u);
  EXPECT_EQ(platform::colour_key(about->取窗口句柄()), std::optional<std::uint32_t>(kGlass));
  for (const char* name : {"按钮1", "按钮2"}) {
    QWidget* b = widget_of(about->取控件(name));
    ASSERT_NE(b, nullptr) << name;
    EXPECT_EQ(b->mask().boundingRect(), QRect(1, 1, 87, 23)) << name;  // 88 x 24 buttons
  }
  EXPECT_EQ(about->取控件("标签1").背景颜色(), kGlass);
  const QImage image = render(*about);
  EXPECT_TRUE(glass_pixel(image.pixel(5, 5))) << std::hex << image.pixel(5, 5);
}
