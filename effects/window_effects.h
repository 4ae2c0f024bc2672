#pragma once
// 窗口特效: the program's one class. It holds nothing; its operations give
// windows the glass look and tell Vista and 7 apart from other systems.
#include "platform/version_record.h"

class 窗口特效 {
 public:
  窗口特效() = default;
  virtual ~窗口特效();
  窗口特效(const 窗口特效&) = default;
  窗口特效& operator=(const 窗口特效&) = default;

  // True when the running system's version text is that of Vista or 7.
  bool 是否为Win7或Vista() const;

  // The same test for a given record.
  static bool 是否为Win7或Vista(const platform::OSVERSIONINFOEXA& 记录);
};
