#pragma once
// One iconv conversion descriptor, closed when it goes.
#include <iconv.h>

#include <cstddef>
#include <string>
#include <string_view>

class IconvDescriptor {
 public:
  // Opened from `from` to `to`, both names handed to iconv as they are.
  IconvDescriptor(std::string_view from, std::string_view to)
      : cd_(iconv_open(std::string(to).c_str(), std::string(from).c_str())),
        utf8_to_utf8_(from == "UTF-8" && to == "UTF-8") {}
  ~IconvDescriptor() {
    if (ok()) iconv_close(cd_);
  }
  IconvDescriptor(const IconvDescriptor&) = delete;
  IconvDescriptor& operator=(const IconvDescriptor&) = delete;
  // False when iconv does not know one of the names.
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

  // iconv() with its contract (pointers advanced, -1 and errno), and one
  // decision of ours: from UTF-8 to UTF-8 iconv copies values beyond
  // U+10FFFF and the five- and six-byte forms, which it rejects as invalid
  // UTF-8 towards any other encoding; they are rejected here too, at the
  // same place, so that the same file fails the same way in every direction.
  std::size_t convert(char** in, std::size_t* in_left, char** out, std::size_t* out_left) const;

 private:
  iconv_t cd_;
  bool utf8_to_utf8_;
};
