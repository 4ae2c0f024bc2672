#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test, with the small file helpers the
// conversion tests share. Names are UTF-8 on both systems (on Windows a
// narrow path would be read in the ANSI code page).
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "text/encoding_boundary.h"

// The path's text as UTF-8, and a path from UTF-8 text.
std::string utf8_of(const std::filesystem::path& path);
std::filesystem::path path_of(std::string_view utf8);

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // A name inside the folder (UTF-8 on disk), and the same as program text.
  std::filesystem::path native(std::string_view utf8_name) const { return path_ / path_of(utf8_name); }
  std::string text(std::string_view utf8_name) const { return text::from_utf8(utf8_of(native(utf8_name))); }

  void write(std::string_view utf8_name, std::string_view bytes) const;
  std::string read(std::string_view utf8_name) const;
  bool exists(std::string_view utf8_name) const;
  // The names in the folder, to prove that nothing else was left behind.
  std::set<std::string> names() const;

 private:
  std::filesystem::path path_;
};
