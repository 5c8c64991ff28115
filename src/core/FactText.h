// TFactText: one text fact of a record (a digest, a version string, an Exif text, an
// alias). It is one pointer wide and empty without an allocation, so the facts of a
// million digested files cost little more than the texts themselves. The bytes are
// kept as they are, NULs included; it reads as a std::string_view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace orv {

class TFactText {
public:
  TFactText() = default;
  TFactText(std::string_view text) { Assign(text); }  // NOLINT: a text converts freely
  TFactText(const TFactText& other) { Assign(other.View()); }
  TFactText(TFactText&& other) noexcept : m_data(std::exchange(other.m_data, nullptr)) {}
  ~TFactText() { delete[] m_data; }

  TFactText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  TFactText& operator=(const TFactText& other) {
    if (this != &other) Assign(other.View());
    return *this;
  }
  TFactText& operator=(TFactText&& other) noexcept {
    std::swap(m_data, other.m_data);
    return *this;
  }

  std::string_view View() const;
  operator std::string_view() const { return View(); }  // NOLINT: reads as its text
  bool empty() const { return m_data == nullptr; }
  std::size_t size() const { return View().size(); }

  friend bool operator==(const TFactText& a, std::string_view b) { return a.View() == b; }

private:
  void Assign(std::string_view text);

  // The length (uint32_t) and then the bytes; null for the empty text.
  char* m_data = nullptr;
};

}  // namespace orv
