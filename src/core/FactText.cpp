// The one allocation of a fact text: its length, then its bytes.
#include "core/FactText.h"

#include <cstring>

namespace orv {

std::string_view TFactText::View() const {
  if (!m_data) return {};
  uint32_t length = 0;
  std::memcpy(&length, m_data, sizeof length);
  return std::string_view(m_data + sizeof length, length);
}

void TFactText::Assign(std::string_view text) {
  char* data = nullptr;
  if (!text.empty()) {
    const auto length = static_cast<uint32_t>(text.size());
    data = new char[sizeof length + text.size()];
    std::memcpy(data, &length, sizeof length);
    std::memcpy(data + sizeof length, text.data(), text.size());
  }
  delete[] m_data;
  m_data = data;
}

}  // namespace orv
