// Generates a directory tree for the benchmarks: FANOUT subdirectories per level down
// to DEPTH levels, FILES files in every directory, each SIZE bytes, with fixed times
// and names that mix ASCII, Japanese and a few characters CP932 cannot hold.
//   orvantis_make_tree ROOT DEPTH FANOUT FILES [SIZE]
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

long g_files = 0;
long g_dirs = 0;

void Fill(const std::string& dir, int depth, int fanout, int files, const std::vector<char>& content) {
  static const char* const kNames[] = {"report", "写真", "notes", "データ", "caf\xC3\xA9", "memo"};
  for (int i = 0; i < files; ++i) {
    const std::string path = dir + "/" + kNames[i % 6] + "_" + std::to_string(i) + (i % 3 ? ".txt" : ".jpg");
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || (!content.empty() && write(fd, content.data(), content.size()) < 0)) {
      std::perror(path.c_str());
      std::exit(1);
    }
    close(fd);
    ++g_files;
  }
  if (depth == 0) return;
  for (int i = 0; i < fanout; ++i) {
    const std::string sub = dir + "/dir" + std::to_string(i) + (i % 2 ? "_ソ" : "");
    mkdir(sub.c_str(), 0755);
    ++g_dirs;
    Fill(sub, depth - 1, fanout, files, content);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s ROOT DEPTH FANOUT FILES [SIZE]\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  mkdir(root.c_str(), 0755);
  const std::vector<char> content(argc > 5 ? std::strtoul(argv[5], nullptr, 10) : 0, 'x');
  Fill(root, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), content);
  std::printf("%ld files in %ld directories\n", g_files, g_dirs);
  return 0;
}
