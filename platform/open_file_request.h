#pragma once
// The request record of the file-open dialog, field for field as the system
// dialog takes it. Texts are GBK-family bytes; the record only points at
// buffers that the caller owns and keeps alive for the call.
#include <cstdint>

namespace platform {

// Explorer-style dialog.
inline constexpr std::uint32_t kOpenExplorer = 0x00080000;
// Several files may be chosen.
inline constexpr std::uint32_t kOpenAllowMultiSelect = 0x00000200;

struct OpenFileRequest {
  std::uint32_t lStructSize = 0;
  std::intptr_t hwndOwner = 0;           // window id of the owner, 0 for none
  std::intptr_t hInstance = 0;
  const char* lpstrFilter = nullptr;     // label, 0, pattern, 0, ..., 0
  char* lpstrCustomFilter = nullptr;
  std::uint32_t nMaxCustFilter = 0;
  std::uint32_t nFilterIndex = 0;
  char* lpstrFile = nullptr;             // answer buffer of nMaxFile bytes
  std::uint32_t nMaxFile = 0;
  char* lpstrFileTitle = nullptr;
  std::uint32_t nMaxFileTitle = 0;
  const char* lpstrInitialDir = nullptr;
  const char* lpstrTitle = nullptr;
  std::uint32_t Flags = 0;
  std::uint16_t nFileOffset = 0;
  std::uint16_t nFileExtension = 0;
  const char* lpstrDefExt = nullptr;
  std::intptr_t lCustData = 0;
  void* lpfnHook = nullptr;
  const char* lpTemplateName = nullptr;
};

}  // namespace platform
