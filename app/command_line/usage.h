#pragma once
// What bixiqin-convert says about its own use.
#include <cstdio>
#include <string_view>

#include "app/command_line/options.h"
#include "convert/reason_text.h"

// The short form, for a usage error: the problem, the synopsis and a pointer
// to --help, in the user's language.
void print_usage_error(std::FILE* out, const UsageProblem& problem, Language language);

// The whole help of --help.
void print_help(std::FILE* out);

// "bixiqin-convert 1.0".
void print_version(std::FILE* out);
