#include "temp_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <random>

std::string utf8_of(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
#else
  return path.string();  // the bytes as they are, whatever they are
#endif
}

std::filesystem::path path_of(std::string_view utf8) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return std::filesystem::path(utf8);
#endif
}

TempFolder::TempFolder() {
#ifdef _WIN32
  // No mkdtemp: a random name, made (not merely looked for) by this run.
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const std::filesystem::path candidate =
        std::filesystem::temp_directory_path() / ("bixiqin-convert-" + std::to_string(random() % 1000000000));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
  }
  if (path_.empty()) ADD_FAILURE() << "cannot make a temporary folder";
#else
  std::string pattern = (std::filesystem::temp_directory_path() / "bixiqin-convert-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
  path_ = pattern;
#endif
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempFolder::write(std::string_view utf8_name, std::string_view bytes) const {
  std::ofstream out(native(utf8_name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) ADD_FAILURE() << "cannot write " << utf8_name;
}

std::string TempFolder::read(std::string_view utf8_name) const {
  std::ifstream in(native(utf8_name), std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot read " << utf8_name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool TempFolder::exists(std::string_view utf8_name) const {
  return std::filesystem::exists(native(utf8_name));
}

std::set<std::string> TempFolder::names() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) names.insert(utf8_of(entry.path().filename()));
  return names;
}
