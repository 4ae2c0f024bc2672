// Writes the conversion benchmark's corpus: novel-like Chinese text made of
// common characters, punctuation and paragraphs, as one large file and many
// chapter-sized files, each in UTF-8 and in GBK.
//
//   bixiqin-bench-corpus FOLDER [--big-mb 200] [--small-count 10000] [--small-kb 10]
//
// FOLDER/big/utf8.txt, FOLDER/big/gbk.txt, FOLDER/small-utf8/NNNNN.txt and
// FOLDER/small-gbk/NNNNN.txt. Files already there with the right size are kept.
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char kCommon[] =
    "的一是不了人我在有他这中大来上个国到说们为子和你地出道也时年得就那要下以生会自着去之"
    "过家学对可她里后小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前"
    "所本见经头面公同三已老从动两长知民样现分将外但身些与高意进把法此实回二理美点月明其种声"
    "全工己话儿者向情部正名定女问力机给等几很业最间新什打便位因重被走电四第门相次东政海口使"
    "教西再平真听世气信北少关并内加化由却代军产入先山五太水万市眼体别处总才场师书比住员九笑"
    "性通目华报立马命张活难神数件安表原车白应路期叫死常提感金何更反合放做系计或司利受光王果"
    "亲界及今京务制解各任至清物台象记边共风战干接它许八特觉望直服毛林题建南度统色字请交爱让"
    "认算论百吃义科怎元社术结六功指思非流每青管夫连远资队跟带花快条院变联言权往展该领传近留"
    "红治决周保达办运武半候七必城父强步完革深区即求品士转量空甚众技轻程告江语英基派满式李息"
    "写呢识极令黄德收脸钱党倒未持取设始版双历越史商千片容研像找友孩站广改议形委早房音火际则";

const char* const kPauses[] = {"，", "，", "，", "、", "；"};
const char* const kEnds[] = {"。", "。", "。", "！", "？", "……"};

class Random {
 public:
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  std::uint32_t below(std::uint32_t n) { return next() % n; }

 private:
  std::uint32_t state_ = 2463534242u;
};

std::vector<std::string> hanzi() {
  std::vector<std::string> out;
  for (std::size_t i = 0; i + 3 <= std::strlen(kCommon); i += 3) out.emplace_back(kCommon + i, 3);
  return out;
}

// Paragraphs of sentences until at least `bytes` of UTF-8, cut after a whole line.
std::string novel_text(Random& random, std::size_t bytes) {
  static const std::vector<std::string> chars = hanzi();
  std::string out;
  out.reserve(bytes + 4096);
  while (out.size() < bytes) {
    out += "　　";
    const unsigned sentences = 2 + random.below(6);
    for (unsigned s = 0; s < sentences; ++s) {
      const bool quoted = random.below(5) == 0;
      if (quoted) out += "“";
      const unsigned clauses = 1 + random.below(3);
      for (unsigned c = 0; c < clauses; ++c) {
        const unsigned length = 3 + random.below(12);
        for (unsigned k = 0; k < length; ++k) out += chars[random.below(static_cast<std::uint32_t>(chars.size()))];
        out += c + 1 < clauses ? kPauses[random.below(5)] : kEnds[random.below(6)];
      }
      if (quoted) out += "”";
    }
    out += "\n";
  }
  return out;
}

std::string to_gbk(const std::string& utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  std::string out(utf8.size(), '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t in_left = utf8.size();
  char* dst = out.data();
  std::size_t room = out.size();
  if (iconv(cd, &in, &in_left, &dst, &room) == static_cast<std::size_t>(-1)) {
    std::fprintf(stderr, "corpus: the generated text does not fit GBK\n");
    std::exit(1);
  }
  iconv_close(cd);
  out.resize(out.size() - room);
  return out;
}

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "corpus: cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

bool present(const fs::path& path, std::uintmax_t at_least) {
  std::error_code error;
  return fs::file_size(path, error) >= at_least && !error;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER [--big-mb N] [--small-count N] [--small-kb N]\n", argv[0]);
    return 2;
  }
  const fs::path root = argv[1];
  std::size_t big_mb = 200, small_count = 10000, small_kb = 10;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    const std::size_t value = std::strtoull(argv[i + 1], nullptr, 10);
    if (key == "--big-mb") big_mb = value;
    else if (key == "--small-count") small_count = value;
    else if (key == "--small-kb") small_kb = value;
  }
  fs::create_directories(root / "big");
  fs::create_directories(root / "small-utf8");
  fs::create_directories(root / "small-gbk");

  Random random;
  const std::size_t big_bytes = big_mb << 20;
  if (!present(root / "big" / "utf8.txt", big_bytes) || !present(root / "big" / "gbk.txt", big_bytes / 2)) {
    const std::string text = novel_text(random, big_bytes);
    write_file(root / "big" / "utf8.txt", text);
    write_file(root / "big" / "gbk.txt", to_gbk(text));
  }
  const std::size_t small_bytes = small_kb << 10;
  for (std::size_t i = 0; i < small_count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%05zu.txt", i);
    if (present(root / "small-utf8" / name, small_bytes) && present(root / "small-gbk" / name, 1)) continue;
    const std::string text = novel_text(random, small_bytes);
    write_file(root / "small-utf8" / name, text);
    write_file(root / "small-gbk" / name, to_gbk(text));
  }
  std::printf("corpus ready in %s\n", root.c_str());
  return 0;
}
