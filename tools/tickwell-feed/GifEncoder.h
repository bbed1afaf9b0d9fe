#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tickwell::feed {

// Writes a small palette image as a GIF89a file. The pixels are stored as plain LZW literals with
// a clear code before the table could grow, which every decoder reads and which needs no
// compressor; the files are a little larger than compressed ones, which does not matter here.
class GifEncoder {
public:
    using Color = std::array<std::uint8_t, 3>;

    // palette: 2 to 128 colours; pixels: width * height palette indices, row by row.
    static std::string encode(int width, int height, const std::vector<Color> &palette,
                              const std::vector<std::uint8_t> &pixels);
};

} // namespace tickwell::feed
