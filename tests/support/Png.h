// Png: writes 24-bit pictures as PNG files (uncompressed deflate blocks, no library needed).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zolv::tests {

// `rgb` holds width * height pixels, 3 bytes each, rows from the top. Returns the file's bytes.
std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace zolv::tests
