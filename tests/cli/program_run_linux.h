#pragma once
// What only Linux lets a test choose for the program: its whole environment
// (the locale's variables), and what the child does before it starts (a
// resource limit, another standard output).
#include <functional>

#include "program_run.h"

// As run(), with the environment `env` and nothing else in it, and
// `before_start` called in the child, its streams in place, before the
// program starts.
Ran run_with(const std::vector<std::string>& args, const std::string& input, const std::vector<std::string>& env,
             const std::filesystem::path& cwd = {}, const std::function<void()>& before_start = {});
