// Linux side of the path services: the current directory and where the program's
// own files live.
#include "platform/Path.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace orv {

std::string CurrentDirectory() {
  std::string buffer(PATH_MAX, '\0');
  if (!getcwd(buffer.data(), buffer.size())) {
    return {};
  }
  buffer.resize(buffer.find('\0'));
  return buffer;
}

std::string ProgramDirectory() {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0) {
    return std::string(1, PathDelim);
  }
  buffer.resize(static_cast<std::size_t>(length));
  return ExtractFileDir(buffer) + PathDelim;
}

TProgramPlaces ProgramPlaces() {
  const std::string program = ProgramDirectory();
  const char* orvantisHome = std::getenv("ORVANTIS_HOME");
  const char* xdgConfigHome = std::getenv("XDG_CONFIG_HOME");
  const char* userHome = std::getenv("HOME");
  if (!userHome || !*userHome) {
    const passwd* entry = getpwuid(getuid());
    userHome = entry ? entry->pw_dir : "";
  }
  return ChooseProgramPlaces(program, access(program.c_str(), W_OK) == 0, orvantisHome ? orvantisHome : "",
                             xdgConfigHome ? xdgConfigHome : "", userHome ? userHome : "");
}

std::string ExecutableDirectory() { return ProgramPlaces().Home; }

}  // namespace orv
