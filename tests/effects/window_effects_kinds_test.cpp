// 玻璃化窗口 called directly on windows built for the test: every control
// kind, the switches, windows lacking a kind, the replaced extended style and
// the region taken from the size at the time of the call.
#include <QPalette>
#include <QTest>

#include "effects/window_effects.h"
#include "platform/colour.h"
#include "platform/composition.h"
#include "platform/qt/offscreen_composition.h"
#include "platform/qt/widget_handle.h"
#include "platform/window_shape.h"
#include "tests/effects/window_effects_fixture.h"
#include "text/gbk_literal.h"
#include "ui/control.h"
#include "platform/window.h"
#include "ui/loader.h"

namespace {

constexpr std::uint32_t kTestWindowId = 0x5201EEE1;
constexpr std::uint32_t kComboOnlyWindowId = 0x5201EEE2;
constexpr std::uint32_t kWhite = 0x00FFFFFF;

ui::控件定义 control(const char* name, ui::控件类型 kind, int left, int top, int width, int height) {
  ui::控件定义 c;
  c.名称 = name;
  c.类型 = kind;
  c.标识 = 0x16000000u + static_cast<std::uint32_t>(left * 7 + top);
  c.位置 = {left, top, width, height};
  c.标题 = "字"_gbk;
  return c;
}

// One control of every kind, without a created handler: the effects are
// applied by the test.
const ui::窗口定义& every_kind_window() {
  static const ui::窗口定义 definition = [] {
    ui::窗口定义 d;
    d.名称 = "特效试验窗口";
    d.标识 = kTestWindowId;
    d.标题 = "试验"_gbk;
    d.位置 = {0, 0, 400, 300};
    using K = ui::控件类型;
    d.控件 = {control("按钮1", K::按钮, 10, 10, 80, 30),    control("编辑框1", K::编辑框, 10, 50, 120, 24),
              control("外形框1", K::外形框, 10, 80, 40, 40), control("分组框1", K::分组框, 60, 80, 60, 40),
              control("单选框1", K::单选框, 130, 80, 60, 20), control("标签1", K::标签, 200, 80, 80, 20),
              control("图片框1", K::图片框, 10, 130, 50, 50), control("选择框1", K::选择框, 70, 130, 60, 20),
              control("选择夹1", K::选择夹, 140, 130, 100, 60), control("组合框1", K::组合框, 10, 200, 100, 20),
              control("列表框1", K::列表框, 120, 200, 100, 80)};
    d.控件[9].列表项目 = {"甲"_gbk, "乙"_gbk};
    d.控件[9].现行选中项 = 0;
    return d;
  }();
  return definition;
}

const ui::窗口定义& combo_only_window() {
  static const ui::窗口定义 definition = [] {
    ui::窗口定义 d;
    d.名称 = "只有组合框";
    d.标识 = kComboOnlyWindowId;
    d.标题 = "试验"_gbk;
    d.位置 = {0, 0, 200, 100};
    d.控件 = {control("组合框1", ui::控件类型::组合框, 10, 10, 100, 20)};
    d.控件[0].列表项目 = {"甲"_gbk};
    return d;
  }();
  return definition;
}

class WindowEffectsKindsTest : public WindowEffectsTest {
 protected:
  void TearDown() override {
    for (std::uint32_t id : {kTestWindowId, kComboOnlyWindowId}) {
      if (ui::窗口* w = ui::取已载入窗口(id)) w->关闭();
    }
    EXPECT_TRUE(QTest::qWaitFor([] {
      return ui::取已载入窗口(kTestWindowId) == nullptr && ui::取已载入窗口(kComboOnlyWindowId) == nullptr;
    }));
    WindowEffectsTest::TearDown();
  }

  ui::窗口& load(const ui::窗口定义& d, bool composition) {
    platform::set_offscreen_composition(composition);
    ui::窗口* w = ui::载入窗口(d, false);
    EXPECT_NE(w, nullptr);
    return *w;
  }

  static bool has_mask(ui::窗口& w, const char* name) {
    return platform::control_has_region(w.取控件(name).取窗口句柄());
  }

  窗口特效 effects;
};

const char* const kBackgroundKinds[] = {"外形框1", "分组框1", "单选框1", "标签1", "图片框1", "选择框1", "选择夹1"};

}  // namespace

TEST_F(WindowEffectsKindsTest, EveryKindGetsItsOwnTreatment) {
  ui::窗口& w = load(every_kind_window(), true);
  w.取控件("编辑框1").置背景颜色(kWhite);
  const std::uintptr_t handle = w.取窗口句柄();
  // Whatever extended style the window had is replaced, not combined.
  platform::set_extended_style(handle, 0x00000200);

  effects.玻璃化窗口(w, true, true, true, true, true, true, true, true, true);

  EXPECT_EQ(platform::extended_style(handle), 0x00080000u);
  EXPECT_TRUE(has_mask(w, "按钮1"));
  EXPECT_EQ(widget_of(w.取控件("按钮1"))->mask().boundingRect(), QRect(1, 1, 79, 29));
  // The edit box is clipped the same way and keeps its own background.
  EXPECT_EQ(widget_of(w.取控件("编辑框1"))->mask().boundingRect(), QRect(1, 1, 119, 23));
  EXPECT_EQ(w.取控件("编辑框1").背景颜色(), kWhite);
  for (const char* name : kBackgroundKinds) {
    EXPECT_EQ(w.取控件(name).背景颜色(), kGlass) << name;
    EXPECT_EQ(widget_of(w.取控件(name))->palette().color(QPalette::Window), kGlassColour) << name;
    EXPECT_FALSE(has_mask(w, name)) << name;
  }
  for (const char* name : {"组合框1", "列表框1"}) {
    EXPECT_FALSE(has_mask(w, name)) << name;
    EXPECT_EQ(w.取控件(name).背景颜色(), platform::kButtonFace) << name;
  }
  EXPECT_EQ(w.取控件("组合框1").现行选中项(), 0);
}

TEST_F(WindowEffectsKindsTest, OnlyTheKindsSwitchedOnAreTreated) {
  ui::窗口& w = load(every_kind_window(), true);
  // Only 标签 and 选择夹 (the eighth switch) on.
  effects.玻璃化窗口(w, false, false, false, false, false, true, false, true, false);
  EXPECT_EQ(platform::extended_style(w.取窗口句柄()), 0x00080000u);
  EXPECT_FALSE(has_mask(w, "按钮1"));
  EXPECT_FALSE(has_mask(w, "编辑框1"));
  EXPECT_EQ(w.取控件("标签1").背景颜色(), kGlass);
  EXPECT_EQ(w.取控件("选择夹1").背景颜色(), kGlass);
  EXPECT_EQ(w.取控件("选择框1").背景颜色(), platform::kButtonFace);
  EXPECT_EQ(w.取控件("外形框1").背景颜色(), platform::kButtonFace);
}

TEST_F(WindowEffectsKindsTest, CompositionOffTouchesNoControl) {
  ui::窗口& w = load(every_kind_window(), false);
  QWidget* window = widget_of(w);
  ASSERT_NE(window, nullptr);
  // The check below means something only if the look does change on
  // deactivation to begin with.
  const QPalette before = window->palette();
  bool differs = false;
  for (int r = 0; r < QPalette::NColorRoles; ++r) {
    const auto role = static_cast<QPalette::ColorRole>(r);
    differs = differs || before.color(QPalette::Inactive, role) != before.color(QPalette::Active, role);
  }
  EXPECT_TRUE(differs);

  effects.玻璃化窗口(w, true, true, true, true, true, true, true, true, true);

  EXPECT_EQ(w.背景颜色(), kGlass);
  EXPECT_TRUE(w.框架保持激活());
  const QPalette after = window->palette();
  for (int r = 0; r < QPalette::NColorRoles; ++r) {
    const auto role = static_cast<QPalette::ColorRole>(r);
    EXPECT_EQ(after.color(QPalette::Inactive, role), after.color(QPalette::Active, role)) << r;
  }
  // A window that takes no input (another one is modal) looks inactive again.
  w.native().set_accepts_input(false);
  EXPECT_NE(window->palette().color(QPalette::Inactive, QPalette::Highlight),
            window->palette().color(QPalette::Active, QPalette::Highlight));
  w.native().set_accepts_input(true);
  EXPECT_EQ(window->palette().color(QPalette::Inactive, QPalette::Highlight),
            window->palette().color(QPalette::Active, QPalette::Highlight));

  EXPECT_EQ(platform::extended_style(w.取窗口句柄()), 0u);
  EXPECT_FALSE(platform::colour_key(w.取窗口句柄()).has_value());
  for (ui::控件* c : w.取控件列表()) {
    EXPECT_FALSE(platform::control_has_region(c->取窗口句柄())) << c->名称();
    EXPECT_EQ(c->背景颜色(), platform::kButtonFace) << c->名称();
  }
}

TEST_F(WindowEffectsKindsTest, AWindowWithoutAKindIsLeftAsItWasByThatKindsRoutine) {
  ui::窗口& w = load(combo_only_window(), true);
  const QImage before = render(w);
  effects.处理按钮(w);
  effects.处理编辑框(w);
  effects.处理外形框(w);
  effects.处理分组框(w);
  effects.处理单选框(w);
  effects.处理标签(w);
  effects.处理图片框(w);
  effects.处理选择框(w);
  effects.处理选择夹(w);
  ui::控件& combo = w.取控件("组合框1");
  EXPECT_FALSE(platform::control_has_region(combo.取窗口句柄()));
  EXPECT_EQ(combo.背景颜色(), platform::kButtonFace);
  EXPECT_EQ(w.背景颜色(), platform::kButtonFace);
  EXPECT_EQ(render(w), before);
}

TEST_F(WindowEffectsKindsTest, TheRegionComesFromTheSizeAtTheTimeOfTheCall) {
  ui::窗口& w = load(every_kind_window(), true);
  ui::控件& button = w.取控件("按钮1");
  const int regions_before = platform::live_region_count();
  effects.圆角按钮(button);
  EXPECT_EQ(platform::live_region_count(), regions_before);
  QWidget* b = widget_of(button);
  b->resize(120, 50);
  EXPECT_EQ(b->mask().boundingRect(), QRect(1, 1, 79, 29));
  // Calling again takes the new size.
  effects.圆角编辑框(button);
  EXPECT_EQ(b->mask().boundingRect(), QRect(1, 1, 119, 49));
}

TEST(WindowShape, LargerEllipsesCutSymmetricCornersAndFreedHandlesAreRefused) {
  QWidget w;
  w.resize(20, 20);
  const std::uintptr_t handle = platform::handle_of(&w);
  const platform::RegionHandle r = platform::create_round_rect_region(0, 0, 20, 20, 8, 8);
  ASSERT_NE(r, 0u);
  EXPECT_TRUE(platform::set_control_region(handle, r, false));
  const QRegion mask = w.mask();
  EXPECT_EQ(mask.boundingRect(), QRect(0, 0, 20, 20));
  for (QPoint corner : {QPoint(0, 0), QPoint(19, 0), QPoint(0, 19), QPoint(19, 19), QPoint(1, 0)}) {
    EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
  }
  for (QPoint edge : {QPoint(10, 0), QPoint(0, 10), QPoint(19, 10), QPoint(10, 19), QPoint(2, 2)}) {
    EXPECT_TRUE(mask.contains(edge)) << edge.x() << "," << edge.y();
  }
  // Mirror images of each other.
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      EXPECT_EQ(mask.contains(QPoint(x, y)), mask.contains(QPoint(19 - x, 19 - y))) << x << "," << y;
    }
  }
  EXPECT_TRUE(platform::delete_region(r));
  EXPECT_FALSE(platform::delete_region(r));
  EXPECT_FALSE(platform::set_control_region(handle, r, false));
  EXPECT_FALSE(platform::set_control_region(0, platform::create_round_rect_region(0, 0, 4, 4, 2, 2), false));
}

// Whether the glass is for this system: the version texts of 6.0 and 6.1
// only, of the NT family only.
TEST(Win7OrVista, OnlyTheVersionTextsOfSixZeroAndSixOne) {
  auto record = [](uint32_t platform_id, uint32_t major, uint32_t minor, uint8_t type = 1) {
    platform::OSVERSIONINFOEXA r{};
    r.dwOSVersionInfoSize = sizeof r;
    r.dwPlatformId = platform_id;
    r.dwMajorVersion = major;
    r.dwMinorVersion = minor;
    r.wProductType = type;
    return r;
  };
  auto nt = [&](uint32_t major, uint32_t minor, uint8_t type = 1) {
    return record(2, major, minor, type);
  };
  EXPECT_TRUE(窗口特效::是否为Win7或Vista(nt(6, 1)));
  EXPECT_TRUE(窗口特效::是否为Win7或Vista(nt(6, 0, 3)));
  EXPECT_FALSE(窗口特效::是否为Win7或Vista(nt(6, 2)));
  EXPECT_FALSE(窗口特效::是否为Win7或Vista(nt(5, 1)));
  EXPECT_FALSE(窗口特效::是否为Win7或Vista(nt(16, 1)));
  EXPECT_FALSE(窗口特效::是否为Win7或Vista(nt(6, 10)));
  EXPECT_FALSE(窗口特效::是否为Win7或Vista(record(1, 6, 1)));
  EXPECT_FALSE(窗口特效::是否为Win7或Vista(record(3, 6, 1)));
}
