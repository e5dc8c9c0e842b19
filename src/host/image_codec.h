#pragma once
// The two picture formats of the program's art, decoded without the
// system's imaging components: baseline JPEG (8-bit, greyscale or YCbCr,
// with the same integer inverse DCT and colour tables as the common JPEG
// library, so the pixels come out the same) and GIF (the first image, with
// its transparent colour).
#include <cstddef>
#include <cstdint>

namespace host {

// Only the size, from the header: a picture can be placed before it is
// decoded.
bool ImageSize(const unsigned char* data, size_t size, int& width, int& height);

// Decodes straight into `dest`, which holds width by height pixels (the
// size ImageSize gives). False for anything that is not a picture of that
// size it can read (truncated, progressive, arithmetic-coded, more than 8
// bits...); `dest` is then undefined.
bool DecodeImageInto(const unsigned char* data, size_t size, int width, int height, uint32_t* dest,
                     bool& transparent);

}  // namespace host
