#include "temp_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "bixiqin-convert-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
  path_ = pattern;
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
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}
