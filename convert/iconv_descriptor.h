#pragma once
// One iconv conversion descriptor, closed when it goes.
#include <iconv.h>

#include <string>
#include <string_view>

class IconvDescriptor {
 public:
  // Opened from `from` to `to`, both names handed to iconv as they are.
  IconvDescriptor(std::string_view from, std::string_view to)
      : cd_(iconv_open(std::string(to).c_str(), std::string(from).c_str())) {}
  ~IconvDescriptor() {
    if (ok()) iconv_close(cd_);
  }
  IconvDescriptor(const IconvDescriptor&) = delete;
  IconvDescriptor& operator=(const IconvDescriptor&) = delete;
  // False when iconv does not know one of the names.
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};
