// A temporary directory for one test, removed with everything in it when the test
// ends, with helpers to lay out fixture trees.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace orv::test {

class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  // Native path, without a trailing "/".
  const std::string& Path() const { return m_path; }
  // Path() + "/" + relative.
  std::string operator/(std::string_view relative) const;

  // Creates a directory (and its parents) below Path().
  std::string MakeDir(std::string_view relative) const;
  // Creates or replaces a file below Path() with the given bytes (parents created).
  std::string WriteFile(std::string_view relative, std::string_view contents) const;

private:
  std::string m_path;
};

// Points ORVANTIS_HOME at a directory for the lifetime of the object and restores the
// previous value afterwards.
class TScopedHome {
public:
  explicit TScopedHome(const std::string& directory);
  ~TScopedHome();

private:
  bool m_hadValue = false;
  std::string m_previous;
};

// Sets an environment variable for the lifetime of the object and restores the
// previous value (or its absence) afterwards.
class TScopedVariable {
public:
  TScopedVariable(const char* name, const std::string& value);
  ~TScopedVariable();
  TScopedVariable(const TScopedVariable&) = delete;
  TScopedVariable& operator=(const TScopedVariable&) = delete;

private:
  std::string m_name;
  bool m_hadValue = false;
  std::string m_previous;
};

// The names in a directory, "." and ".." left out (empty when it cannot be read).
std::set<std::string> DirectoryEntries(const std::string& directory);

// The whole contents of a native file ("" when it cannot be read).
std::string ReadFileText(const std::string& path);

}  // namespace orv::test
