// Generates a directory tree for the benchmarks: FANOUT subdirectories per level down
// to DEPTH levels, FILES files in every directory, each SIZE bytes, with fixed times
// and names that mix ASCII, Japanese and a few characters CP932 cannot hold.
//   orvantis_make_tree ROOT DEPTH FANOUT FILES [SIZE]
// Every call that makes the tree is checked: the first failure (a full disk, say) is
// reported with its path and ends the program with status 1, so a short tree is never
// taken for a whole one.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

long g_files = 0;
long g_dirs = 0;

// 2021-03-01 00:00:00 UTC for every file and directory.
const timespec kTimes[2] = {{1614556800, 0}, {1614556800, 0}};

[[noreturn]] void Fail(const char* what, const std::string& path) {
  std::fprintf(stderr, "orvantis_make_tree: %s %s: %s\n", what, path.c_str(), std::strerror(errno));
  std::exit(1);
}

// An existing directory is taken as it is, so the program can be run again over a tree.
void MakeDir(const std::string& path) {
  if (mkdir(path.c_str(), 0755) == 0) return;
  struct stat st;
  if (errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
  Fail("mkdir", path);
}

void WriteFile(const std::string& path, const std::vector<char>& content) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Fail("open", path);
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("write", path);
    }
    done += static_cast<size_t>(n);
  }
  if (futimens(fd, kTimes) != 0) Fail("futimens", path);
  // close() is where some file systems (NFS, quota) first report a full disk.
  if (close(fd) != 0) Fail("close", path);
}

void Fill(const std::string& dir, int depth, int fanout, int files, const std::vector<char>& content) {
  static const char* const kNames[] = {"report", "写真", "notes", "データ", "caf\xC3\xA9", "memo"};
  for (int i = 0; i < files; ++i) {
    WriteFile(dir + "/" + kNames[i % 6] + "_" + std::to_string(i) + (i % 3 ? ".txt" : ".jpg"), content);
    ++g_files;
  }
  if (depth > 0) {
    for (int i = 0; i < fanout; ++i) {
      const std::string sub = dir + "/dir" + std::to_string(i) + (i % 2 ? "_ソ" : "");
      MakeDir(sub);
      ++g_dirs;
      Fill(sub, depth - 1, fanout, files, content);
    }
  }
  // Last, since every entry made inside the directory moved its modification time.
  if (utimensat(AT_FDCWD, dir.c_str(), kTimes, 0) != 0) Fail("utimensat", dir);
}

bool ParseCount(const char* text, long max, long* value) {
  char* end = nullptr;
  errno = 0;
  *value = std::strtol(text, &end, 10);
  return errno == 0 && end != text && *end == '\0' && *value >= 0 && *value <= max;
}

}  // namespace

int main(int argc, char** argv) {
  long depth = 0, fanout = 0, files = 0, size = 0;
  if (argc < 5 || argc > 6 || !ParseCount(argv[2], 64, &depth) || !ParseCount(argv[3], 100000, &fanout) ||
      !ParseCount(argv[4], 100000, &files) || (argc == 6 && !ParseCount(argv[5], 1L << 30, &size))) {
    std::fprintf(stderr, "usage: %s ROOT DEPTH FANOUT FILES [SIZE]\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  MakeDir(root);
  const std::vector<char> content(static_cast<size_t>(size), 'x');
  Fill(root, static_cast<int>(depth), static_cast<int>(fanout), static_cast<int>(files), content);
  if (std::printf("%ld files in %ld directories\n", g_files, g_dirs) < 0 || std::fflush(stdout) != 0) return 1;
  return 0;
}
