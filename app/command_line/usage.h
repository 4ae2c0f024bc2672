#pragma once
// What bixiqin-convert says about its own use.
#include <cstdio>
#include <string_view>

// The short form, for a usage error: `problem`, the synopsis and a pointer to
// --help.
void print_usage_error(std::FILE* out, std::string_view problem);

// The whole help of --help.
void print_help(std::FILE* out);

// "bixiqin-convert 1.0".
void print_version(std::FILE* out);
