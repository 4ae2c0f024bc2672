#include "effects/window_effects.h"

#include "effects/version_name.h"
#include "text/text.h"

namespace {

bool is_vista_or_7_text(const text::Text& 版本号文本) {
  return 版本号文本 == "Microsoft Windows NT 6.1" || 版本号文本 == "Microsoft Windows NT 6.0";
}

}  // namespace

// Destroying the object has nothing to release.
窗口特效::~窗口特效() = default;

bool 窗口特效::是否为Win7或Vista() const { return is_vista_or_7_text(取系统版本名(4)); }

bool 窗口特效::是否为Win7或Vista(const platform::OSVERSIONINFOEXA& 记录) {
  // Item 4 does not depend on the product code.
  return is_vista_or_7_text(取系统版本名(记录, 0, 4));
}
