#pragma once
// Reads a fuzzer's input as a stream of small decisions. Once the bytes run out every read
// gives zero, so any input, however short, is a complete script.

#include <cstddef>
#include <cstdint>

class ByteReader {
public:
    ByteReader(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_position >= m_size; }
    std::uint8_t byte();
    std::uint16_t word();
    std::uint32_t dword();
    // A value below `bound` (bound > 0).
    std::uint32_t below(std::uint32_t bound) { return dword() % bound; }
    bool flag() { return (byte() & 1) != 0; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};
