// Splits one fuzz input into the pieces a target needs.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace orvane::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

  template <typename T>
  T Take() {
    T value{};
    size_t n = std::min(sizeof(T), m_size - m_pos);
    std::memcpy(&value, m_data + m_pos, n);
    m_pos += n;
    return value;
  }
  // Up to `max` bytes, length taken from the input.
  std::vector<uint8_t> TakeBytes(size_t max) {
    size_t n = std::min<size_t>(Take<uint16_t>() % (max + 1), m_size - m_pos);
    std::vector<uint8_t> out(m_data + m_pos, m_data + m_pos + n);
    m_pos += n;
    return out;
  }
  std::vector<uint8_t> Rest() {
    std::vector<uint8_t> out(m_data + m_pos, m_data + m_size);
    m_pos = m_size;
    return out;
  }
  bool Empty() const { return m_pos >= m_size; }

 private:
  const uint8_t* m_data;
  size_t m_size;
  size_t m_pos = 0;
};

}  // namespace orvane::fuzz
