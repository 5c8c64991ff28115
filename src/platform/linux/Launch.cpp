// Starting programs detached with posix_spawn: no shell ever sees the arguments.
#include "platform/Launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace orv {

bool LaunchDetached(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_init(&attributes);
  // A session of its own: closing our terminal or stopping us leaves it running.
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

  pid_t pid = 0;
  const int error = posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    return false;
  }
  // Reap the child whenever it ends so it never lingers as a zombie while we run.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

bool OpenWithAssociatedProgram(const std::string& nativePath) {
  return LaunchDetached("xdg-open", {nativePath});
}

}  // namespace orv
