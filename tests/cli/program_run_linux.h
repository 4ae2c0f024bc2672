#pragma once
// What only Linux lets a test choose for the program: its whole environment
// (the locale's variables) and a resource limit set before it starts.
#include <functional>

#include "program_run.h"

// As run(), with the environment `env` and nothing else in it, and `limit`
// called in the child before the program starts.
Ran run_with(const std::vector<std::string>& args, const std::string& input, const std::vector<std::string>& env,
             const std::filesystem::path& cwd = {}, const std::function<void()>& limit = {});
