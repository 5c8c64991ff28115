// Linux implementation of the start-up environment questions.
#include "platform/Environment.h"

#include <cstdlib>
#include <string_view>

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

}  // namespace orv
