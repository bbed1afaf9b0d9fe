#include "GifEncoder.h"

namespace tickwell::feed {

namespace {

constexpr int kMinimumCodeSize = 7;          // literals 0..127
constexpr unsigned kClearCode = 1u << kMinimumCodeSize;
constexpr unsigned kEndCode = kClearCode + 1;
constexpr int kCodeWidth = kMinimumCodeSize + 1;
// After a clear code the decoder adds one table entry per literal but the first; the code width
// would grow when the table reaches 256 entries, so a clear code comes well before that.
constexpr int kLiteralsPerClear = 100;

void putWord(std::string &out, int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

class BitWriter {
public:
    void put(unsigned code)
    {
        m_accumulator |= code << m_bits;
        m_bits += kCodeWidth;
        while (m_bits >= 8) {
            m_bytes += static_cast<char>(m_accumulator & 0xFF);
            m_accumulator >>= 8;
            m_bits -= 8;
        }
    }
    std::string finish()
    {
        if (m_bits > 0)
            m_bytes += static_cast<char>(m_accumulator & 0xFF);
        return m_bytes;
    }

private:
    std::string m_bytes;
    unsigned m_accumulator = 0;
    int m_bits = 0;
};

} // namespace

std::string GifEncoder::encode(int width, int height, const std::vector<Color> &palette,
                               const std::vector<std::uint8_t> &pixels)
{
    // The global colour table holds a power of two of at least two entries.
    int tableBits = 1;
    while ((1u << tableBits) < palette.size() && tableBits < kMinimumCodeSize)
        ++tableBits;

    std::string out = "GIF89a";
    putWord(out, width);
    putWord(out, height);
    out += static_cast<char>(0x80 | ((tableBits - 1) << 4) | (tableBits - 1));
    out += '\0'; // background colour
    out += '\0'; // aspect ratio
    for (unsigned i = 0; i < (1u << tableBits); ++i) {
        const Color color = i < palette.size() ? palette[i] : Color{0, 0, 0};
        out.append(reinterpret_cast<const char *>(color.data()), color.size());
    }

    out += ',';
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, width);
    putWord(out, height);
    out += '\0'; // no local table, not interlaced

    BitWriter bits;
    int sinceClear = kLiteralsPerClear;
    for (std::uint8_t pixel : pixels) {
        if (sinceClear == kLiteralsPerClear) {
            bits.put(kClearCode);
            sinceClear = 0;
        }
        bits.put(pixel & (kClearCode - 1));
        ++sinceClear;
    }
    bits.put(kEndCode);
    const std::string data = bits.finish();

    out += static_cast<char>(kMinimumCodeSize);
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t length = std::min<std::size_t>(255, data.size() - at);
        out += static_cast<char>(length);
        out.append(data, at, length);
    }
    out += '\0'; // end of image data
    out += ';';  // trailer
    return out;
}

} // namespace tickwell::feed
