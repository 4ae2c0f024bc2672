// The program's two windows loaded for real with composition answered on
// and off, read back with the system's own calls: the layered style, the
// colour key, the rounded button regions.
#include <gtest/gtest.h>

#include <memory>

#include "app/program_values.h"
#include "effects/version_vista.h"
#include "effects/window_effects.h"
#include "platform/application.h"
#include "platform/win32/composition_seam.h"
#include "platform/window_shape.h"
#include "ui/about_window.h"
#include "ui/control.h"
#include "ui/loader.h"
#include "ui/main_window.h"
#include "windows_support.h"

namespace {

// The glass colour of the windows: red 227, green 237, blue 246.
constexpr COLORREF kGlass = RGB(227, 237, 246);

HWND hwnd(std::uintptr_t handle) { return reinterpret_cast<HWND>(handle); }

bool layered(HWND w) { return (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

// The key the system holds for a layered window, if it holds one.
std::optional<COLORREF> key_of(HWND w) {
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(w, &key, &alpha, &flags) || (flags & LWA_COLORKEY) == 0) return std::nullopt;
  return key;
}

// The window's region as the system holds it; empty when it has none.
struct Region {
  HRGN handle = CreateRectRgn(0, 0, 0, 0);
  bool present = false;
  explicit Region(HWND w) { present = GetWindowRgn(w, handle) != ERROR; }
  ~Region() { DeleteObject(handle); }
  RECT box() const {
    RECT r{};
    GetRgnBox(handle, &r);
    return r;
  }
};

class WindowGlass : public testing::Test {
 protected:
  void SetUp() override {
    if (!是否Vista或更高()) GTEST_SKIP() << "the windows' effects apply from Vista on";
    特效对象 = std::make_unique<窗口特效>();
  }
  void TearDown() override {
    if (ui::窗口* about = ui::取已载入窗口(ui::kAboutWindowId)) about->关闭();
    if (ui::窗口* main = ui::主窗口()) main->关闭();
    platform::process_waiting_messages();
    platform::win32::set_composition_answer_for_tests(std::nullopt);
    特效对象.reset();
  }
  static ui::窗口* load(const ui::窗口定义& definition, bool composition) {
    platform::win32::set_composition_answer_for_tests(composition);
    return ui::载入窗口(definition, false);
  }
};

}  // namespace

// Catches the layered style, the key or a region set without composition:
// on a desktop that does not compose, the key colour would cut holes.
TEST_F(WindowGlass, WithoutCompositionNoWindowIsLayeredAndNoButtonShaped) {
  ui::窗口* main = load(ui::主窗口定义(), false);
  ASSERT_NE(main, nullptr);
  ui::窗口* about = load(ui::关于窗口定义(), false);
  ASSERT_NE(about, nullptr);
  for (ui::窗口* window : {main, about}) {
    HWND w = hwnd(window->取窗口句柄());
    EXPECT_FALSE(layered(w));
    EXPECT_FALSE(key_of(w).has_value());
    for (ui::控件* c : window->取控件列表()) EXPECT_FALSE(Region(hwnd(c->取窗口句柄())).present) << c->名称();
  }
}

// Catches the key given to the system as an alpha instead of a colour key,
// a wrong key colour, the layered style left off, a button region one pixel
// short on its right and bottom (the system's rounded region ends one before
// the corner it is given), and a region given to a list or combo box.
TEST_F(WindowGlass, WithCompositionTheMainWindowIsKeyedGlassWithRoundedButtons) {
  const int regions_before = platform::live_region_count();
  ui::窗口* main = load(ui::主窗口定义(), true);
  ASSERT_NE(main, nullptr);
  HWND w = hwnd(main->取窗口句柄());
  EXPECT_TRUE(layered(w));
  EXPECT_EQ(key_of(w), std::optional<COLORREF>(kGlass));

  // 转换 is 64 x 32: its region runs from (1, 1) to (64, 32), right and
  // bottom excluded. How much of the corners a 2 x 2 rounding cuts is the
  // system's to decide (Wine's keeps the corner pixels).
  const Region convert(hwnd(ui::主窗口控件::按钮_转换().取窗口句柄()));
  ASSERT_TRUE(convert.present);
  const RECT box = convert.box();
  EXPECT_EQ(box.left, 1);
  EXPECT_EQ(box.top, 1);
  EXPECT_EQ(box.right, 64);
  EXPECT_EQ(box.bottom, 32);
  for (POINT inside : {POINT{32, 16}, POINT{2, 1}, POINT{1, 2}, POINT{62, 30}, POINT{63, 16}, POINT{32, 31}}) {
    EXPECT_TRUE(PtInRegion(convert.handle, inside.x, inside.y)) << inside.x << "," << inside.y;
  }
  for (POINT outside : {POINT{0, 0}, POINT{0, 16}, POINT{32, 0}, POINT{64, 16}, POINT{32, 32}, POINT{64, 32}}) {
    EXPECT_FALSE(PtInRegion(convert.handle, outside.x, outside.y)) << outside.x << "," << outside.y;
  }
  for (ui::控件* b : {&ui::主窗口控件::按钮_选择(), &ui::主窗口控件::按钮2(), &ui::主窗口控件::按钮_选择1()}) {
    const Region r(hwnd(b->取窗口句柄()));
    ASSERT_TRUE(r.present) << b->名称();
    EXPECT_EQ(r.box().right, b->宽度()) << b->名称();
    EXPECT_EQ(r.box().bottom, b->高度()) << b->名称();
  }
  for (ui::控件* c : {&ui::主窗口控件::组合框_原编码(), &ui::主窗口控件::组合框_现编码(),
                      &ui::主窗口控件::列表框_原始(), &ui::主窗口控件::列表框_现在()}) {
    EXPECT_FALSE(Region(hwnd(c->取窗口句柄())).present) << c->名称();
  }
  // The labels take the key colour, so that glass shows behind their text.
  EXPECT_EQ(ui::主窗口控件::标签_原信息().背景颜色(), kGlass);
  EXPECT_EQ(ui::主窗口控件::标签_现信息().背景颜色(), kGlass);
  // Each region handle given to a button was the system's to free.
  EXPECT_EQ(platform::live_region_count(), regions_before);
}

TEST_F(WindowGlass, WithCompositionAboutIsKeyedWithItsTwoButtonsRounded) {
  ui::窗口* about = load(ui::关于窗口定义(), true);
  ASSERT_NE(about, nullptr);
  HWND w = hwnd(about->取窗口句柄());
  EXPECT_TRUE(layered(w));
  EXPECT_EQ(key_of(w), std::optional<COLORREF>(kGlass));
  for (const char* name : {"按钮1", "按钮2"}) {  // 88 x 24
    const Region r(hwnd(about->取控件(name).取窗口句柄()));
    ASSERT_TRUE(r.present) << name;
    EXPECT_EQ(r.box().right, 88) << name;
    EXPECT_EQ(r.box().bottom, 24) << name;
  }
}
