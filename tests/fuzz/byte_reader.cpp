#include "byte_reader.h"

std::uint8_t ByteReader::byte()
{
    return m_position < m_size ? m_data[m_position++] : 0;
}

std::uint16_t ByteReader::word()
{
    const std::uint16_t low = byte();
    return static_cast<std::uint16_t>(low | (byte() << 8));
}

std::uint32_t ByteReader::dword()
{
    const std::uint32_t low = word();
    return low | (static_cast<std::uint32_t>(word()) << 16);
}
