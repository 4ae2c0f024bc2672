#include "program_run_linux.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

Ran run_with(const std::vector<std::string>& args, const std::string& input, const std::vector<std::string>& env,
             const std::filesystem::path& cwd, const std::function<void()>& before_start) {
  const TempFolder streams;  // outside the folder under test, which must stay as it is
  streams.write("in", input);
  const std::string in = at(streams, "in"), out = at(streams, "out"), err = at(streams, "err");

  std::vector<char*> argv{const_cast<char*>(BIXIQIN_CONVERT_PROGRAM)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const std::string dir = cwd.string();

  const pid_t child = ::fork();
  if (child == 0) {
    const int i = ::open(in.c_str(), O_RDONLY);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (i < 0 || o < 0 || e < 0 || ::dup2(i, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) ::_exit(126);
    if (!dir.empty() && ::chdir(dir.c_str()) != 0) ::_exit(126);
    if (before_start) before_start();
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  Ran ran;
  if (WIFEXITED(status)) ran.exit_code = WEXITSTATUS(status);
  ran.out = streams.read("out");
  ran.err = streams.read("err");
  return ran;
}

Ran run(const std::vector<std::string>& args, const std::string& input, const std::filesystem::path& cwd) {
  return run_with(args, input, {"LC_ALL=C"}, cwd);
}

std::string in_run_language(const char*, const char* english) { return english; }
