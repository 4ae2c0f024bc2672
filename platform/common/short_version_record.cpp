// The short form of the version record, on both sides: the first six fields
// of the extended one, the caller's record untouched when that fails.
#include <cstring>

#include "platform/version_record.h"

namespace platform {

bool get_version_record(OSVERSIONINFOA* record) {
  if (record == nullptr || record->dwOSVersionInfoSize != kShortVersionRecordSize) return false;
  OSVERSIONINFOEXA whole{};
  whole.dwOSVersionInfoSize = kShortVersionRecordSize;
  if (!get_version_record(&whole)) return false;
  std::memcpy(record, &whole, kShortVersionRecordSize);
  return true;
}

}  // namespace platform
