// The picture decoder over the program's own art, and over damaged data:
// it must refuse what it cannot read, never read past what it is given.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "host/image_codec.h"

namespace {

// A picture decoded into a buffer of its own: empty when it cannot be read.
struct DecodedImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    bool transparent = false;
};

bool DecodeImage(const unsigned char* data, size_t size, DecodedImage& out) {
    out = DecodedImage();
    int w = 0, h = 0;
    if (!host::ImageSize(data, size, w, h) || w <= 0 || h <= 0 || w * static_cast<long long>(h) > 1 << 24)
        return false;
    out.pixels.resize(static_cast<size_t>(w) * h);
    if (!host::DecodeImageInto(data, size, w, h, out.pixels.data(), out.transparent)) {
        out = DecodedImage();
        return false;
    }
    out.width = w;
    out.height = h;
    return true;
}

std::vector<unsigned char> Art(const std::string& name) {
    std::ifstream f(std::string(QF_ART_DIR) + name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(f), {});
}

const char* const kJpegs[] = {"body.jpg",         "ok_normal.jpg",    "ok_hover.jpg",
                              "end_normal.jpg",   "end_hover.jpg",    "min_normal.jpg",
                              "min_hover.jpg",    "close_normal.jpg", "close_hover.jpg",
                              "notice_body.jpg",  "notice_ok_normal.jpg", "notice_ok_hover.jpg"};
const char* const kGifs[] = {"chk_empty.gif", "chk_ticked.gif", "ding_normal.gif", "ding_top.gif"};

}  // namespace

TEST(ImageCodec, EveryPictureOfTheArtDecodesAtItsHeaderSize) {
    for (const char* name : kJpegs) {
        auto data = Art(name);
        ASSERT_FALSE(data.empty()) << name;
        int w = 0, h = 0;
        ASSERT_TRUE(host::ImageSize(data.data(), data.size(), w, h)) << name;
        DecodedImage img;
        ASSERT_TRUE(DecodeImage(data.data(), data.size(), img)) << name;
        EXPECT_EQ(img.width, w) << name;
        EXPECT_EQ(img.height, h) << name;
        EXPECT_EQ(img.pixels.size(), static_cast<size_t>(w) * h);
        EXPECT_FALSE(img.transparent) << name;
    }
    for (const char* name : kGifs) {
        auto data = Art(name);
        DecodedImage img;
        ASSERT_TRUE(DecodeImage(data.data(), data.size(), img)) << name;
        EXPECT_TRUE(img.transparent) << name << ": the corners are see-through";
        EXPECT_EQ(img.pixels[0] >> 24, 0u) << name;
        size_t opaque = 0;
        for (uint32_t p : img.pixels) opaque += (p >> 24) == 0xFF;
        EXPECT_GT(opaque, img.pixels.size() / 5) << name << ": the picture itself is not";
    }
}

TEST(ImageCodec, TheBodyKeepsItsColours) {
    // The window body is a light face with a blue title band at the top:
    // a decoder that mixed up its channels or its blocks would not say so.
    auto data = Art("body.jpg");
    DecodedImage img;
    ASSERT_TRUE(DecodeImage(data.data(), data.size(), img));
    auto at = [&](int x, int y) { return img.pixels[static_cast<size_t>(y) * img.width + x]; };
    uint32_t band = at(img.width / 2, 3), face = at(img.width / 2, img.height / 2);
    EXPECT_GT(band & 0xFF, (band >> 16) & 0xFF) << std::hex << band << ": blue over red in the band";
    EXPECT_GT((face >> 16) & 0xFF, 0xC0u) << std::hex << face << ": a light face";
}

TEST(ImageCodec, DamagedDataIsRefusedOrDecodedButNeverOverrun) {
    std::mt19937 rng(7);
    for (const char* name : {"body.jpg", "ok_hover.jpg", "chk_ticked.gif", "ding_top.gif"}) {
        auto data = Art(name);
        // Every cut: a shorter copy in a buffer of its own size.
        for (size_t n = 0; n < data.size(); n += data.size() > 2000 ? 37 : 1) {
            std::vector<unsigned char> cut(data.begin(), data.begin() + n);
            DecodedImage img;
            if (DecodeImage(cut.data(), cut.size(), img))
                EXPECT_EQ(img.pixels.size(), static_cast<size_t>(img.width) * img.height);
            else
                EXPECT_TRUE(img.pixels.empty());
        }
        // Flipped bytes anywhere.
        for (int round = 0; round < 150; ++round) {
            auto bad = data;
            for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] ^= static_cast<unsigned char>(1 + rng() % 255);
            DecodedImage img;
            if (DecodeImage(bad.data(), bad.size(), img)) {
                EXPECT_EQ(img.pixels.size(), static_cast<size_t>(img.width) * img.height);
            }
        }
    }
    // A Huffman table with more codes of one length than that length holds
    // (200 one-bit codes in place of the first table): refused, not written
    // past the decoder's lookup table.
    auto overfull = Art("ok_normal.jpg");
    for (size_t i = 2; i + 21 < overfull.size(); ++i) {
        if (overfull[i] != 0xFF || overfull[i + 1] != 0xC4) continue;
        const size_t table = i + 4;  // class and id, 16 counts, the values
        int total = 0;
        for (int l = 0; l < 16; ++l) total += overfull[table + 1 + l];
        std::vector<unsigned char> bad(17 + 200, 0);
        bad[0] = overfull[table];
        bad[1] = 200;
        for (int v = 0; v < 200; ++v) bad[17 + v] = static_cast<unsigned char>(v);
        overfull.erase(overfull.begin() + table, overfull.begin() + table + 17 + total);
        overfull.insert(overfull.begin() + table, bad.begin(), bad.end());
        const int length = ((overfull[i + 2] << 8) | overfull[i + 3]) + 200 - total;
        overfull[i + 2] = static_cast<unsigned char>(length >> 8);
        overfull[i + 3] = static_cast<unsigned char>(length & 0xFF);
        break;
    }
    DecodedImage full;
    EXPECT_FALSE(DecodeImage(overfull.data(), overfull.size(), full));

    // What it does not read at all.
    auto progressive = Art("ok_normal.jpg");
    for (size_t i = 2; i + 1 < progressive.size(); ++i)
        if (progressive[i] == 0xFF && progressive[i + 1] == 0xC0) {
            progressive[i + 1] = 0xC2;
            break;
        }
    DecodedImage img;
    EXPECT_FALSE(DecodeImage(progressive.data(), progressive.size(), img));
    const unsigned char png[] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    EXPECT_FALSE(DecodeImage(png, sizeof png, img));
}
