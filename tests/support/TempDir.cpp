#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::test {

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  // Fixtures may hold read-only directories; make them writable before removing.
  chmod(path, 0700);
  return remove(path);
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
  // Restore search permission top-down first so the depth-first removal can descend.
  nftw(m_path.c_str(), [](const char* p, const struct stat* s, int, struct FTW*) {
    if (S_ISDIR(s->st_mode)) chmod(p, 0700);
    return 0;
  }, 16, FTW_PHYS);
  nftw(m_path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
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

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace orv::test
