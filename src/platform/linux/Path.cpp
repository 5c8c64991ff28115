// Linux side of the path services: the current directory and where the program's
// own files live.
#include "platform/Path.h"

#include <climits>
#include <cstdlib>
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

std::string ExecutableDirectory() {
  const char* home = std::getenv("ORVANTIS_HOME");
  if (!home || !*home) {
    return ProgramDirectory();
  }
  std::string directory = ExpandPath(home);
  if (directory.back() != PathDelim) {
    directory += PathDelim;
  }
  return directory;
}

}  // namespace orv
