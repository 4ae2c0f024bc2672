// Writes the GBK and GB18030 data of our own iconv (platform/common/iconv/
// tables.cpp) by asking the system's iconv: every two-byte and four-byte
// code is decoded, every code point encoded. The codec assumes a shape
// (which bytes are leads and trails, encoding as the inverse of decoding);
// each assumption is checked here against what the system does, and the
// tool fails rather than write data the codec would read wrongly.
//
//   bixiqin-make-iconv-tables OUTPUT      (`make iconv-tables`)
#include <gnu/libc-version.h>
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/common/iconv/gb_tables.h"

namespace {

using own_iconv::four_byte_index;
using own_iconv::kTrailsPerLead;
using own_iconv::kTwoByteCount;
using own_iconv::two_byte_index;

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "bixiqin-make-iconv-tables: %s\n", what.c_str());
  std::exit(1);
}

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) fail(std::string("iconv does not open ") + from + " -> " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  struct Result {
    int error = 0;  // 0 when converted whole
    std::size_t consumed = 0;
    std::vector<unsigned char> out;
  };
  Result run(const unsigned char* in, std::size_t size) {
    char* src = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
    std::size_t left = size;
    unsigned char buffer[32];
    char* dst = reinterpret_cast<char*>(buffer);
    std::size_t room = sizeof buffer;
    Result r;
    if (iconv(cd_, &src, &left, &dst, &room) == static_cast<std::size_t>(-1)) r.error = errno;
    r.consumed = size - left;
    r.out.assign(buffer, reinterpret_cast<unsigned char*>(dst));
    return r;
  }

 private:
  iconv_t cd_;
};

// Decodes `size` bytes into one code point: -1 for EILSEQ, -2 for EINVAL
// (nothing consumed either way); anything else fails.
constexpr std::int64_t kInvalid = -1, kCut = -2;
std::int64_t decode_one(Converter& decoder, const unsigned char* in, std::size_t size, const char* what) {
  const Converter::Result r = decoder.run(in, size);
  if (r.error == EILSEQ && r.consumed == 0 && r.out.empty()) return kInvalid;
  if (r.error == EINVAL && r.consumed == 0 && r.out.empty()) return kCut;
  if (r.error != 0 || r.consumed != size || r.out.size() != 4) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) bytes += hex(in[i]) + " ";
    fail(std::string(what) + ": " + bytes + "is not one character, an invalid or a cut one");
  }
  return std::int64_t{r.out[0]} | std::int64_t{r.out[1]} << 8 | std::int64_t{r.out[2]} << 16 |
         std::int64_t{r.out[3]} << 24;
}

bool is_trail(unsigned b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }
bool is_digit(unsigned b) { return b >= 0x30 && b <= 0x39; }

struct Data {
  std::vector<std::int64_t> gb18030_two;  // by two_byte_index: code point
  std::vector<bool> in_gbk;
  std::vector<own_iconv::Run> runs;
  std::map<std::uint32_t, std::uint32_t> four_by_code_point;  // code point -> four_byte_index
};

// Single bytes, and every lead with every second byte as the whole input.
void check_bytes(Converter& gbk, Converter& gb18030, Data& data) {
  for (unsigned b = 0; b < 0x100; ++b) {
    const unsigned char in[1] = {static_cast<unsigned char>(b)};
    const std::int64_t k = decode_one(gbk, in, 1, "GBK"), g = decode_one(gb18030, in, 1, "GB18030");
    const std::int64_t want_k = b < 0x80 ? b : b == 0x80 ? 0x20AC : b == 0xFF ? kInvalid : kCut;
    const std::int64_t want_g = b < 0x80 ? b : b == 0x80 || b == 0xFF ? kInvalid : kCut;
    if (k != want_k || g != want_g) fail("the single byte " + hex(b) + " is not decoded as the codec assumes");
  }
  data.gb18030_two.assign(kTwoByteCount, kInvalid);
  data.in_gbk.assign(kTwoByteCount, false);
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      const unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
      const std::int64_t k = decode_one(gbk, in, 2, "GBK"), g = decode_one(gb18030, in, 2, "GB18030");
      const std::string name = hex(lead << 8 | trail);
      if (!is_trail(trail)) {
        if (k != kInvalid) fail("GBK " + name + " is not invalid");
        if (g != (is_digit(trail) ? kCut : kInvalid)) fail("GB18030 " + name + " is not as the codec assumes");
        continue;
      }
      if (g < 0x80) fail("GB18030 " + name + " does not decode to a character beyond ASCII");
      if (k != kInvalid && k != g) fail("GBK " + name + " decodes otherwise than GB18030");
      data.gb18030_two[two_byte_index(lead, trail)] = g;
      data.in_gbk[two_byte_index(lead, trail)] = k != kInvalid;
    }
  }
}

void read_four_byte(Converter& gb18030, Data& data) {
  std::int64_t last_index = -2, last_code_point = -2;
  for (unsigned b0 = 0x81; b0 <= 0xFE; ++b0) {
    for (unsigned b1 = 0x30; b1 <= 0x39; ++b1) {
      for (unsigned b2 = 0x81; b2 <= 0xFE; ++b2) {
        for (unsigned b3 = 0x30; b3 <= 0x39; ++b3) {
          const unsigned char in[4] = {static_cast<unsigned char>(b0), static_cast<unsigned char>(b1),
                                       static_cast<unsigned char>(b2), static_cast<unsigned char>(b3)};
          const std::int64_t cp = decode_one(gb18030, in, 4, "GB18030");
          if (cp == kCut) fail("a whole four-byte GB18030 code is taken for a cut one");
          if (cp == kInvalid) continue;
          const std::uint32_t index = four_byte_index(b0, b1, b2, b3);
          if (!data.four_by_code_point.emplace(static_cast<std::uint32_t>(cp), index).second) {
            fail("two four-byte codes decode to " + hex(static_cast<std::uint32_t>(cp)));
          }
          if (index == last_index + 1 && cp == last_code_point + 1) {
            ++data.runs.back().count;
          } else {
            data.runs.push_back({index, static_cast<std::uint32_t>(cp), 1});
          }
          last_index = index;
          last_code_point = cp;
        }
      }
    }
  }
}

// Encoding must be decoding's inverse: one byte, else the two-byte code,
// else the four-byte one; GBK leaves out the tag characters U+E0000-E007F.
void check_encoding(const Data& data) {
  std::map<std::uint32_t, std::uint32_t> two_gbk, two_gb18030;  // code point -> code
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (!is_trail(trail)) continue;
      const std::size_t i = two_byte_index(lead, trail);
      const auto cp = static_cast<std::uint32_t>(data.gb18030_two[i]);
      if (!two_gb18030.emplace(cp, lead << 8 | trail).second) fail("two two-byte codes decode to " + hex(cp));
      if (data.in_gbk[i]) two_gbk.emplace(cp, lead << 8 | trail);
    }
  }
  two_gbk.emplace(0x20AC, 0x80);
  Converter gbk("GBK", "UTF-32LE"), gb18030("GB18030", "UTF-32LE");
  for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const unsigned char in[4] = {static_cast<unsigned char>(cp), static_cast<unsigned char>(cp >> 8),
                                 static_cast<unsigned char>(cp >> 16), 0};
    for (const bool is_gbk : {true, false}) {
      std::vector<unsigned char> want;
      const auto& two = is_gbk ? two_gbk : two_gb18030;
      if (cp < 0x80) {
        want = {static_cast<unsigned char>(cp)};
      } else if (const auto t = two.find(cp); t != two.end()) {
        if (t->second > 0xFF) want.push_back(static_cast<unsigned char>(t->second >> 8));
        want.push_back(static_cast<unsigned char>(t->second));
      } else if (const auto f = data.four_by_code_point.find(cp); !is_gbk && f != data.four_by_code_point.end()) {
        const std::uint32_t code = own_iconv::four_byte_code(f->second);
        want = {static_cast<unsigned char>(code >> 24), static_cast<unsigned char>(code >> 16),
                static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code)};
      }
      const bool dropped = is_gbk && cp >= 0xE0000 && cp <= 0xE007F;
      const Converter::Result r = (is_gbk ? gbk : gb18030).run(in, 4);
      const bool as_assumed = want.empty() && !dropped
                                  ? r.error == EILSEQ && r.consumed == 0 && r.out.empty()
                                  : r.error == 0 && r.consumed == 4 && r.out == want;
      if (!as_assumed) {
        fail(std::string(is_gbk ? "GBK" : "GB18030") + " does not encode " + hex(cp) + " as the inverse of its decoding");
      }
    }
  }
}

std::vector<own_iconv::Gap> gbk_gaps(const Data& data) {
  std::vector<own_iconv::Gap> gaps;
  for (std::size_t i = 0; i < kTwoByteCount; ++i) {
    if (data.in_gbk[i]) continue;
    if (!gaps.empty() && gaps.back().first + gaps.back().count == i) {
      ++gaps.back().count;
    } else {
      gaps.push_back({static_cast<std::uint16_t>(i), 1});
    }
  }
  return gaps;
}

std::string write(const Data& data) {
  std::string s;
  s += "// Generated by tools/make_iconv_tables.cpp from the system's iconv (glibc ";
  s += gnu_get_libc_version();
  s += "): `make iconv-tables`.\n// Do not edit; the layout is described in gb_tables.h.\n";
  s += "#include \"platform/common/iconv/gb_tables.h\"\n\nnamespace own_iconv {\n\n";
  s += "const std::uint16_t kTwoByte[kTwoByteCount] = {\n";
  std::vector<std::pair<std::size_t, std::uint32_t>> wide;
  for (std::size_t i = 0; i < kTwoByteCount; ++i) {
    const auto cp = static_cast<std::uint32_t>(data.gb18030_two[i]);
    if (cp > 0xFFFF) wide.emplace_back(i, cp);
    if (i % kTrailsPerLead == 0) s += "    // lead " + hex(0x81 + i / kTrailsPerLead) + "\n";
    s += i % 10 == 0 ? "    " : " ";
    s += hex(cp > 0xFFFF ? 0 : cp) + ",";
    if (i % 10 == 9 || i % kTrailsPerLead == kTrailsPerLead - 1) s += "\n";
  }
  s += "};\n\nconst WideCode kTwoByteWide[] = {\n";
  for (const auto& [i, cp] : wide) s += "    {" + std::to_string(i) + ", " + hex(cp) + "},\n";
  s += "};\nconst std::size_t kTwoByteWideCount = " + std::to_string(wide.size()) + ";\n\n";
  const std::vector<own_iconv::Gap> gaps = gbk_gaps(data);
  s += "const Gap kGbkGaps[] = {\n";
  for (const own_iconv::Gap& g : gaps) s += "    {" + std::to_string(g.first) + ", " + std::to_string(g.count) + "},\n";
  s += "};\nconst std::size_t kGbkGapCount = " + std::to_string(gaps.size()) + ";\n\n";
  s += "const Run kFourByte[] = {\n";
  for (const own_iconv::Run& r : data.runs) {
    s += "    {" + std::to_string(r.first) + ", " + hex(r.code_point) + ", " + std::to_string(r.count) + "},\n";
  }
  s += "};\nconst std::size_t kFourByteCount = " + std::to_string(data.runs.size()) + ";\n\n";
  s += "}  // namespace own_iconv\n";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bixiqin-make-iconv-tables OUTPUT\n");
    return 2;
  }
  if (std::string(argv[1]).empty()) fail("no output path");
  Data data;
  {
    Converter gbk("UTF-32LE", "GBK"), gb18030("UTF-32LE", "GB18030");
    check_bytes(gbk, gb18030, data);
    read_four_byte(gb18030, data);
  }
  check_encoding(data);
  if (data.runs.empty()) fail("no four-byte code decodes");
  // The runs' layout that gb_tables.h promises.
  std::uint32_t last_beyond = 0;
  for (const own_iconv::Run& r : data.runs) {
    const bool beyond = r.code_point > 0xFFFF;
    if (!beyond && r.code_point + r.count - 1 > 0xFFFF) fail("a four-byte run crosses U+FFFF");
    if (!beyond && last_beyond != 0) fail("a four-byte run inside the plane follows one beyond it");
    if (beyond && r.code_point <= last_beyond) fail("the four-byte runs beyond the plane are out of order");
    if (beyond) last_beyond = r.code_point;
  }
  const std::string text = write(data);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) fail(std::string("cannot write ") + argv[1]);
  std::size_t in_gbk = 0;
  for (const bool b : data.in_gbk) in_gbk += b;
  std::printf("%s: %zu two-byte codes (%zu in GBK), %zu four-byte codes in %zu runs\n", argv[1], kTwoByteCount,
              in_gbk, data.four_by_code_point.size(), data.runs.size());
  return 0;
}
