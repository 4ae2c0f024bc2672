#pragma once
// File names read from a stream, for lists made by find or ls.
#include <cstdio>
#include <functional>
#include <string_view>

// Calls `each` with every name of `in`, in order, as soon as it is complete:
// names end with `separator` ('\n' or '\0') or at the end of the stream.
// Empty names are left out. False when reading failed.
bool read_names(std::FILE* in, char separator, const std::function<void(std::string_view)>& each);
