// Builds PNG files byte by byte for the image-loading tests: well-formed chunks with correct
// CRCs around whatever header and data a test wants, so a decoder gets past the framing.
#pragma once
#include <cstdint>
#include <string>

inline uint32_t png_crc(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

inline std::string png_be32(uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

inline std::string png_chunk(const std::string& type, const std::string& data)
{
    const std::string body = type + data;
    return png_be32(static_cast<uint32_t>(data.size())) + body + png_be32(png_crc(body));
}

// A zlib stream holding data in one stored (uncompressed) block.
inline std::string png_zlib_stored(const std::string& data)
{
    uint32_t a = 1, b = 0;
    for (unsigned char byte : data) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    const uint16_t length = static_cast<uint16_t>(data.size());
    const uint16_t complement = static_cast<uint16_t>(~length);
    std::string out = "\x78\x01";
    out += '\x01'; // final block, stored
    out += static_cast<char>(length & 0xFF);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(complement & 0xFF);
    out += static_cast<char>(complement >> 8);
    return out + data + png_be32((b << 16) | a);
}

// A PNG of the given size and colour type (bit depth 8) whose IDAT holds the given raw rows.
inline std::string png_file(uint32_t width, uint32_t height, char colourType, const std::string& rows)
{
    std::string header = png_be32(width) + png_be32(height);
    header += '\x08';       // bit depth
    header += colourType;   // 0 grey, 2 RGB, 6 RGBA
    header += std::string(3, '\0'); // compression, filter, interlace
    return std::string("\x89PNG\r\n\x1a\n", 8) + png_chunk("IHDR", header) +
           png_chunk("IDAT", png_zlib_stored(rows)) + png_chunk("IEND", "");
}

// A valid 8 x 8 grey PNG: each row a filter byte 0 and eight mid-grey pixels.
inline std::string png_small_grey()
{
    std::string rows;
    for (int y = 0; y < 8; ++y)
        rows += std::string(1, '\0') + std::string(8, '\x80');
    return png_file(8, 8, '\0', rows);
}
