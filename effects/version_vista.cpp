#include "effects/version_vista.h"

bool 是否Vista或更高(const platform::OSVERSIONINFOA& 记录) {
  // Compared in double precision against 5.1, as the test has always been made.
  return static_cast<double>(记录.dwMajorVersion) - 5.1 > 0.0000001;
}

bool 是否Vista或更高() {
  platform::OSVERSIONINFOA 记录{};
  记录.dwOSVersionInfoSize = platform::kShortVersionRecordSize;
  platform::get_version_record(&记录);
  return 是否Vista或更高(记录);
}
