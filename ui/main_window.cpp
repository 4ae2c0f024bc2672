#include "ui/main_window.h"

#include "app/start.h"
#include "convert/batch_conversion.h"
#include "convert/encoding_catalogue.h"
#include "files/source_list.h"
#include "text/gbk_literal.h"
#include "ui/about_window.h"
#include "ui/loader.h"

namespace ui {

const 窗口定义& 主窗口定义() {
  static const 窗口定义 definition = [] {
    窗口定义 d;
    d.名称 = "启动窗口";
    d.标识 = kMainWindowId;
    d.标题 = "碧溪琴-批量转码工具1.0       本软件由澄语编写"_gbk;
    d.位置 = {50, 50, 605, 363};
    d.屏幕居中 = true;
    d.固定边框 = true;
    d.控制按钮 = true;
    d.最小化按钮 = true;
    d.最大化按钮 = false;
    d.可移动 = true;
    d.背景颜色 = platform::kButtonFace;
    d.有图标 = true;
    d.Esc键关闭 = true;
    d.回车下移焦点 = false;
    d.随意移动 = true;
    d.在任务条中显示 = true;
    d.总在最前 = false;
    d.框架保持激活 = false;
    d.可视 = true;
    d.创建完毕 = 主窗口_创建完毕;
    d.文件被放下 = 启动窗口_文件被放下;

    d.控件 = {
        按钮定义("按钮_选择1", 0x160125DE, {532, 11, 61, 28}, "关于"_gbk, 按钮_选择1_被单击),
        组合框定义("组合框_原编码", 0x160111AD, {76, 16, 181, 20},
                   {"#编码_GBK  简体中文"_gbk, "#编码_GB18030  简体中文 最新"_gbk, "#编码_UTF_8  "_gbk}, 2,
                   组合框_原编码_列表项被选择),
        按钮定义("按钮_转换", 0x160111AE, {267, 8, 64, 32}, "转换"_gbk, 按钮_转换_被单击),
        组合框定义("组合框_现编码", 0x160111AF, {346, 16, 181, 20},
                   {"#编码_GBK  简体中文"_gbk, "#编码_GB18030 简中 最新"_gbk, "#编码_UTF_8"_gbk}, 1,
                   组合框_现编码_列表项被选择),
        按钮定义("按钮2", 0x16010010, {271, 300, 61, 28}, "清空"_gbk, 按钮2_被单击),
        标签定义("标签_现信息", 0x1601000E, {339, 299, 244, 24}, "标签"_gbk),
        标签定义("标签_原信息", 0x1601000D, {15, 299, 244, 24}, "标签"_gbk),
        列表框定义("列表框_现在", 0x1601000B, {339, 56, 244, 232}),
        列表框定义("列表框_原始", 0x16010008, {15, 56, 244, 232}),
        按钮定义("按钮_选择", 0x16010004, {8, 11, 61, 28}, "添加"_gbk, 按钮_选择_被单击),
    };
    return d;
  }();
  return definition;
}

窗口* 主窗口() { return 取已载入窗口(kMainWindowId); }

namespace 主窗口控件 {
namespace {
控件& named(std::string_view name) {
  static 控件 absent;
  窗口* w = 主窗口();
  return w != nullptr ? w->取控件(name) : absent;
}
}  // namespace

控件& 按钮_选择1() { return named("按钮_选择1"); }
控件& 组合框_原编码() { return named("组合框_原编码"); }
控件& 按钮_转换() { return named("按钮_转换"); }
控件& 组合框_现编码() { return named("组合框_现编码"); }
控件& 按钮2() { return named("按钮2"); }
控件& 标签_现信息() { return named("标签_现信息"); }
控件& 标签_原信息() { return named("标签_原信息"); }
控件& 列表框_现在() { return named("列表框_现在"); }
控件& 列表框_原始() { return named("列表框_原始"); }
控件& 按钮_选择() { return named("按钮_选择"); }
}  // namespace 主窗口控件

}  // namespace ui
