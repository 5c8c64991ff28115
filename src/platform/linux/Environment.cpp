// Linux implementation of the start-up environment questions.
#include "platform/Environment.h"

#include <charconv>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace orv {

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool HasDisplay() { return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"); }

bool HeadlessRequested() {
  const char* value = std::getenv("ORVANTIS_HEADLESS");
  return value != nullptr && std::string_view(value) == "1";
}

int WorkerThreadCount() {
  // More threads than this only queue behind each other on any machine we run on.
  constexpr int kMostThreads = 256;
  if (const char* value = std::getenv("ORVANTIS_THREADS"); value != nullptr) {
    const std::string_view text(value);
    int count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error == std::errc() && end == text.data() + text.size() && count >= 1) {
      return count < kMostThreads ? count : kMostThreads;
    }
  }
  const unsigned processors = std::thread::hardware_concurrency();
  return processors == 0 ? 1 : static_cast<int>(processors < kMostThreads ? processors : kMostThreads);
}

}  // namespace orv
