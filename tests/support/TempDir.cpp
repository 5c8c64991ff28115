#include "support/TempDir.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orv::test {

namespace {

// Removes what is inside the open directory dirFd, depth first, through descriptors,
// so a fixture deeper than PATH_MAX goes too. Fixtures may hold directories without
// permissions; they are given them back before they are entered.
void RemoveContents(int dirFd) {
  DIR* dir = fdopendir(dirFd);
  if (!dir) {
    close(dirFd);
    return;
  }
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  for (const std::string& name : names) {
    struct stat st;
    if (fstatat(dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      fchmodat(dirfd(dir), name.c_str(), 0700, 0);
      const int child = openat(dirfd(dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child >= 0) RemoveContents(child);
      unlinkat(dirfd(dir), name.c_str(), AT_REMOVEDIR);
    } else {
      unlinkat(dirfd(dir), name.c_str(), 0);
    }
  }
  closedir(dir);
}

void MakeParents(const std::string& path) {
  for (std::size_t i = 1; i < path.size(); ++i) {
    if (path[i] == '/') {
      mkdir(path.substr(0, i).c_str(), 0755);
    }
  }
}

}  // namespace

TTempDir::TTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/orvantis-test-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    throw std::runtime_error("cannot create a temporary directory");
  }
  m_path = pattern;
}

TTempDir::~TTempDir() {
  chmod(m_path.c_str(), 0700);
  const int fd = open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) RemoveContents(fd);
  rmdir(m_path.c_str());
}

std::string TTempDir::operator/(std::string_view relative) const {
  return m_path + "/" + std::string(relative);
}

std::string TTempDir::MakeDir(std::string_view relative) const {
  std::string path = *this / relative;
  MakeParents(path + "/");
  return path;
}

std::string TTempDir::WriteFile(std::string_view relative, std::string_view contents) const {
  std::string path = *this / relative;
  MakeParents(path);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!out) throw std::runtime_error("cannot write fixture " + path);
  return path;
}

TScopedHome::TScopedHome(const std::string& directory) {
  if (const char* old = std::getenv("ORVANTIS_HOME")) {
    m_hadValue = true;
    m_previous = old;
  }
  setenv("ORVANTIS_HOME", directory.c_str(), 1);
}

TScopedHome::~TScopedHome() {
  if (m_hadValue) {
    setenv("ORVANTIS_HOME", m_previous.c_str(), 1);
  } else {
    unsetenv("ORVANTIS_HOME");
  }
}

TScopedVariable::TScopedVariable(const char* name, const std::string& value) : m_name(name) {
  if (const char* old = std::getenv(name)) {
    m_hadValue = true;
    m_previous = old;
  }
  setenv(name, value.c_str(), 1);
}

TScopedVariable::~TScopedVariable() {
  if (m_hadValue) {
    setenv(m_name.c_str(), m_previous.c_str(), 1);
  } else {
    unsetenv(m_name.c_str());
  }
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> DirectoryEntries(const std::string& directory) {
  std::set<std::string> names;
  if (DIR* dir = opendir(directory.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.insert(std::move(name));
    }
    closedir(dir);
  }
  return names;
}

}  // namespace orv::test
