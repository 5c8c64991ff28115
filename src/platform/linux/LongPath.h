// Reaching a path longer than the kernel takes in one call. PATH_MAX (4096 bytes)
// bounds the path given to open() or statx(), not the depth of a tree: a longer path
// is opened a part at a time, each part relative to the directory the one before it
// opened. Linux side of the platform layer only.
#pragma once

#include <string>

namespace orv {

// The directory to resolve a native path against, and what is left of the path. For
// a path the kernel takes whole, Fd() is AT_FDCWD and Rest() the path itself; for a
// longer one, Fd() is a descriptor on the directory that holds the path's last few
// components and Rest() those components (shorter than PATH_MAX). Fd() is -1, with
// errno set, when a leading part cannot be opened.
class TPathBase {
public:
  explicit TPathBase(const std::string& path);
  ~TPathBase();
  TPathBase(const TPathBase&) = delete;
  TPathBase& operator=(const TPathBase&) = delete;

  int Fd() const { return m_fd; }
  const char* Rest() const { return m_rest; }

private:
  int m_fd;
  bool m_owned = false;
  const char* m_rest;
};

}  // namespace orv
