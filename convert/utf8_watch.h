#pragma once
// Watches the bytes a conversion reads for whether they are also valid UTF-8
// holding characters of three or four bytes, as Chinese text in UTF-8 does.
// Text in GBK or GB18030 almost never is: a lead byte there is mostly
// followed by a byte that UTF-8 does not allow, so the watch gives up at the
// first such pair and costs a file nothing after it. Short GBK texts that do
// pass read as two-byte characters (Latin letters with marks, phonetic
// signs), which is why those do not count.
#include <cstddef>

#include "convert/stream.h"

class Utf8Watch final : public ByteSource {
 public:
  explicit Utf8Watch(ByteSource& source) : source_(source) {}
  std::ptrdiff_t read(char* into, std::size_t room) override;
  bool intact() const override { return source_.intact(); }

  // After the whole source was read.
  bool valid_utf8_with_wide_characters() const { return valid_utf8() && wide_; }
  // For a source read in parts, each watched on its own.
  bool valid_utf8() const { return valid_ && pending_ == 0; }
  bool wide_characters() const { return wide_; }

 private:
  void look_at(const unsigned char* bytes, std::size_t size);

  ByteSource& source_;
  bool valid_ = true;
  bool wide_ = false;  // a character of three or four bytes seen
  int pending_ = 0;           // continuation bytes still due
  unsigned char low_ = 0x80;  // bounds of the next continuation byte
  unsigned char high_ = 0xBF;
};
