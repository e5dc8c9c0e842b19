#include "image_codec.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace host {

namespace {

// ---- JPEG ------------------------------------------------------------------

const unsigned char kNatural[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

constexpr int kLookBits = 9;

struct Huffman {
    bool defined = false;
    int maxcode[18];
    int valoffset[18];
    unsigned char values[256];
    // Codes of up to kLookBits bits, found in one step: length and symbol
    // (length 0: longer code).
    unsigned char lookLength[1 << kLookBits];
    unsigned char lookSymbol[1 << kLookBits];
};

struct Component {
    int id, h, v, tq;
    int dcTable = 0, acTable = 0;
    int pred = 0;
    int blocksWide = 0;
    // One row of MCUs: blocksWide*8 samples wide, v*8 high. The picture is
    // written out row by row, so no whole-picture buffer is needed.
    std::vector<unsigned char> plane;
};

class Jpeg {
public:
    // The picture must have the size the caller's buffer was made for.
    Jpeg(const unsigned char* d, size_t n, int w, int h) : d_(d), n_(n), wantW_(w), wantH_(h) {}

    bool Decode(uint32_t* dest) {
        dest_ = dest;
        if (n_ < 4 || d_[0] != 0xFF || d_[1] != 0xD8) return false;
        pos_ = 2;
        bool frame = false;
        for (;;) {
            int marker = NextMarker();
            if (marker < 0) return false;
            if (marker == 0xD9) return false;  // no scan
            if (marker == 0xC0 || marker == 0xC1) {
                if (frame || !ReadFrame() || width_ != wantW_ || height_ != wantH_) return false;
                frame = true;
            } else if ((marker >= 0xC2 && marker <= 0xCF) && marker != 0xC4 && marker != 0xC8 &&
                       marker != 0xCC) {
                return false;  // progressive, lossless or arithmetic: not ours
            } else if (marker == 0xC4) {
                if (!ReadHuffman()) return false;
            } else if (marker == 0xDB) {
                if (!ReadQuant()) return false;
            } else if (marker == 0xDD) {
                if (Length() != 4 || pos_ + 2 > n_) return false;
                restart_ = (d_[pos_] << 8) | d_[pos_ + 1];
                pos_ += 2;
            } else if (marker == 0xDA) {
                if (!frame || !ReadScan()) return false;
                return true;  // one scan: a baseline picture, written out
            } else {
                size_t len = Length();
                if (len < 2 || pos_ + len - 2 > n_) return false;
                pos_ += len - 2;
            }
        }
    }

private:
    int NextMarker() {
        if (pos_ >= n_ || d_[pos_] != 0xFF) return -1;
        while (pos_ < n_ && d_[pos_] == 0xFF) ++pos_;
        return pos_ < n_ ? d_[pos_++] : -1;
    }
    size_t Length() {
        if (pos_ + 2 > n_) return 0;
        size_t len = (d_[pos_] << 8) | d_[pos_ + 1];
        pos_ += 2;
        return len;
    }

    bool ReadFrame() {
        size_t len = Length();
        if (len < 8 || pos_ + len - 2 > n_) return false;
        const unsigned char* p = d_ + pos_;
        pos_ += len - 2;
        if (p[0] != 8) return false;
        height_ = (p[1] << 8) | p[2];
        width_ = (p[3] << 8) | p[4];
        int count = p[5];
        if (width_ <= 0 || height_ <= 0 || (count != 1 && count != 3) || len != 8u + 3u * count)
            return false;
        if (static_cast<long long>(width_) * height_ > 64LL * 1024 * 1024) return false;
        comps_.resize(count);
        for (int i = 0; i < count; ++i) {
            Component& c = comps_[i];
            c.id = p[6 + 3 * i];
            c.h = p[7 + 3 * i] >> 4;
            c.v = p[7 + 3 * i] & 15;
            c.tq = p[8 + 3 * i];
            if (c.h < 1 || c.h > 2 || c.v < 1 || c.v > 2 || c.tq > 3) return false;
            hmax_ = c.h > hmax_ ? c.h : hmax_;
            vmax_ = c.v > vmax_ ? c.v : vmax_;
        }
        // A single component is coded block by block at its own size.
        if (count == 1) comps_[0].h = comps_[0].v = hmax_ = vmax_ = 1;
        mcusWide_ = (width_ + 8 * hmax_ - 1) / (8 * hmax_);
        mcusHigh_ = (height_ + 8 * vmax_ - 1) / (8 * vmax_);
        for (Component& c : comps_) {
            c.blocksWide = mcusWide_ * c.h;
            c.plane.assign(static_cast<size_t>(c.blocksWide) * 8 * c.v * 8, 0);
        }
        return true;
    }

    bool ReadHuffman() {
        size_t len = Length();
        if (len < 2 || pos_ + len - 2 > n_) return false;
        size_t end = pos_ + len - 2;
        while (pos_ < end) {
            int tc = d_[pos_] >> 4, th = d_[pos_] & 15;
            if (tc > 1 || th > 3 || pos_ + 17 > end) return false;
            Huffman& t = huff_[tc][th];
            const unsigned char* counts = d_ + pos_ + 1;
            pos_ += 17;
            int total = 0;
            for (int i = 0; i < 16; ++i) total += counts[i];
            if (total > 256 || pos_ + total > end) return false;
            std::memcpy(t.values, d_ + pos_, total);
            pos_ += total;
            // Canonical codes, as the JPEG library derives them.
            int code = 0, k = 0;
            for (int l = 1; l <= 16; ++l) {
                // More codes of a length than it has bits for: a table no
                // encoder writes, refused as the JPEG library refuses it.
                if (code + counts[l - 1] > (1 << l)) return false;
                t.valoffset[l] = k - code;
                code += counts[l - 1];
                k += counts[l - 1];
                t.maxcode[l] = counts[l - 1] ? code - 1 : -1;
                code <<= 1;
            }
            t.maxcode[17] = 0x7FFFFFFF;
            std::memset(t.lookLength, 0, sizeof t.lookLength);
            code = 0;
            k = 0;
            for (int l = 1; l <= kLookBits; ++l) {
                for (int i = 0; i < counts[l - 1]; ++i, ++k, ++code) {
                    int shift = kLookBits - l;
                    for (int fill = 0; fill < (1 << shift); ++fill) {
                        t.lookLength[(code << shift) | fill] = static_cast<unsigned char>(l);
                        t.lookSymbol[(code << shift) | fill] = t.values[k];
                    }
                }
                code <<= 1;
            }
            t.defined = true;
        }
        return pos_ == end;
    }

    bool ReadQuant() {
        size_t len = Length();
        if (len < 2 || pos_ + len - 2 > n_) return false;
        size_t end = pos_ + len - 2;
        while (pos_ < end) {
            int pq = d_[pos_] >> 4, tq = d_[pos_] & 15;
            if (tq > 3 || pq > 1 || pos_ + 1 + 64 * (pq + 1) > end) return false;
            ++pos_;
            for (int i = 0; i < 64; ++i) {
                int v = pq ? (d_[pos_] << 8) | d_[pos_ + 1] : d_[pos_];
                pos_ += pq + 1;
                quant_[tq][kNatural[i]] = v;
            }
            quantDefined_[tq] = true;
        }
        return pos_ == end;
    }

    // ---- the entropy-coded scan ----
    // Up to 32 bits ahead in `acc_`; past the data (a marker, or the end),
    // ones are fed in as the JPEG library does, and too many of them end it.
    void Fill() {
        while (count_ <= 24) {
            unsigned b = 0xFF;
            if (pos_ < n_ && !(d_[pos_] == 0xFF && pos_ + 1 < n_ && d_[pos_ + 1] != 0x00) &&
                !(d_[pos_] == 0xFF && pos_ + 1 >= n_)) {
                b = d_[pos_];
                pos_ += b == 0xFF ? 2 : 1;  // a stuffed zero follows a data 0xFF
            } else {
                ++padding_;
            }
            acc_ |= b << (24 - count_);
            count_ += 8;
        }
    }
    int Peek(int bits) {
        Fill();
        return static_cast<int>(acc_ >> (32 - bits));
    }
    void Skip(int bits) {
        acc_ <<= bits;
        count_ -= bits;
    }
    int Bits(int bits) {
        if (bits == 0) return 0;
        int v = Peek(bits);
        Skip(bits);
        return padding_ > 8 ? -1 : v;
    }
    int DecodeSymbol(const Huffman& t) {
        int look = Peek(kLookBits);
        if (int l = t.lookLength[look]) {
            Skip(l);
            return padding_ > 8 ? -1 : t.lookSymbol[look];
        }
        int code = Peek(16);
        for (int l = kLookBits + 1; l <= 16; ++l) {
            int c = code >> (16 - l);
            if (c <= t.maxcode[l]) {
                Skip(l);
                int i = c + t.valoffset[l];
                return padding_ > 8 || i < 0 || i >= 256 ? -1 : t.values[i];
            }
        }
        return -1;
    }
    static int Extend(int v, int s) { return v < (1 << (s - 1)) ? v - (1 << s) + 1 : v; }

    bool DecodeBlock(Component& c, int bx, int by) {
        const Huffman& dc = huff_[0][c.dcTable];
        const Huffman& ac = huff_[1][c.acTable];
        int coef[64] = {};
        int s = DecodeSymbol(dc);
        if (s < 0 || s > 11) return false;
        int diff = 0;
        if (s) {
            int v = Bits(s);
            if (v < 0) return false;
            diff = Extend(v, s);
        }
        c.pred += diff;
        coef[0] = c.pred;
        for (int k = 1; k < 64;) {
            int rs = DecodeSymbol(ac);
            if (rs < 0) return false;
            int r = rs >> 4;
            s = rs & 15;
            if (s == 0) {
                if (r != 15) break;
                k += 16;
                continue;
            }
            k += r;
            if (k > 63) return false;
            int v = Bits(s);
            if (v < 0) return false;
            coef[kNatural[k]] = Extend(v, s);
            ++k;
        }
        unsigned char* out = &c.plane[(static_cast<size_t>(by) * 8 * c.blocksWide + bx) * 8];  // by: within the row
        Idct(coef, quant_[c.tq], out, static_cast<size_t>(c.blocksWide) * 8);
        return true;
    }

    bool ReadScan() {
        size_t len = Length();
        if (len < 6 || pos_ + len - 2 > n_) return false;
        const unsigned char* p = d_ + pos_;
        int count = p[0];
        if (count != static_cast<int>(comps_.size()) || len != 6u + 2u * count) return false;
        for (int i = 0; i < count; ++i) {
            Component* c = nullptr;
            for (Component& k : comps_)
                if (k.id == p[1 + 2 * i]) c = &k;
            if (!c) return false;
            c->dcTable = p[2 + 2 * i] >> 4;
            c->acTable = p[2 + 2 * i] & 15;
            if (c->dcTable > 3 || c->acTable > 3 || !huff_[0][c->dcTable].defined ||
                !huff_[1][c->acTable].defined || !quantDefined_[c->tq])
                return false;
        }
        pos_ += len - 2;
        // One component alone is coded block by block over its own size;
        // several are interleaved in MCUs.
        int unitsWide = mcusWide_, unitsHigh = mcusHigh_;
        int total = unitsWide * unitsHigh, left = restart_;
        for (int u = 0; u < total; ++u) {
            if (restart_ && left == 0) {
                // Reading ahead never passes a marker: drop the bits held,
                // step over the RSTn marker, start afresh.
                acc_ = 0;
                count_ = 0;
                padding_ = 0;
                if (pos_ + 1 < n_ && d_[pos_] == 0xFF && d_[pos_ + 1] >= 0xD0 && d_[pos_ + 1] <= 0xD7)
                    pos_ += 2;
                for (Component& c : comps_) c.pred = 0;
                left = restart_;
            }
            if (restart_) --left;
            int ux = u % unitsWide;
            for (Component& c : comps_)
                for (int y = 0; y < c.v; ++y)
                    for (int x = 0; x < c.h; ++x)
                        if (!DecodeBlock(c, ux * c.h + x, y)) return false;
            if (ux == unitsWide - 1) EmitRows(u / unitsWide);
        }
        return true;
    }

    // One 8-point pass of the JPEG library's accurate integer inverse DCT
    // (13-bit constants): x holds the eight inputs, y gets the eight sums
    // before they are scaled down.
    static void Idct8(const long* x, long* y) {
        enum : long { kFix0298 = 2446, kFix0390 = 3196, kFix0541 = 4433, kFix0765 = 6270,
                      kFix0899 = 7373, kFix1175 = 9633, kFix1501 = 12299, kFix1847 = 15137,
                      kFix1961 = 16069, kFix2053 = 16819, kFix2562 = 20995, kFix3072 = 25172 };
        // Even part.
        long z1 = (x[2] + x[6]) * kFix0541;
        long tmp2 = z1 + x[6] * -kFix1847;
        long tmp3 = z1 + x[2] * kFix0765;
        long tmp0 = (x[0] + x[4]) * (1L << 13);
        long tmp1 = (x[0] - x[4]) * (1L << 13);
        long tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3, tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
        // Odd part.
        tmp0 = x[7];
        tmp1 = x[5];
        tmp2 = x[3];
        tmp3 = x[1];
        z1 = tmp0 + tmp3;
        long z2 = tmp1 + tmp2, z3 = tmp0 + tmp2, z4 = tmp1 + tmp3;
        long z5 = (z3 + z4) * kFix1175;
        tmp0 *= kFix0298;
        tmp1 *= kFix2053;
        tmp2 *= kFix3072;
        tmp3 *= kFix1501;
        z1 *= -kFix0899;
        z2 *= -kFix2562;
        z3 = z3 * -kFix1961 + z5;
        z4 = z4 * -kFix0390 + z5;
        tmp0 += z1 + z3;
        tmp1 += z2 + z4;
        tmp2 += z2 + z3;
        tmp3 += z1 + z4;
        y[0] = tmp10 + tmp3;
        y[7] = tmp10 - tmp3;
        y[1] = tmp11 + tmp2;
        y[6] = tmp11 - tmp2;
        y[2] = tmp12 + tmp1;
        y[5] = tmp12 - tmp1;
        y[3] = tmp13 + tmp0;
        y[4] = tmp13 - tmp0;
    }

    // The whole inverse DCT of a block: columns, then rows, dequantising as
    // it goes; output level-shifted and clamped, as the JPEG library's.
    static void Idct(const int* in, const int* q, unsigned char* out, size_t stride) {
        const int kPass1 = 2;
        auto descale = [](long x, int n) { return (x + (1L << (n - 1))) >> n; };
        long ws[64], x[8], y[8];
        for (int col = 0; col < 8; ++col) {
            const int* i = in + col;
            if (!i[8] && !i[16] && !i[24] && !i[32] && !i[40] && !i[48] && !i[56]) {
                long dc = static_cast<long>(i[0]) * q[col] * (1 << kPass1);
                for (int k = 0; k < 8; ++k) ws[col + 8 * k] = dc;
                continue;
            }
            for (int k = 0; k < 8; ++k) x[k] = static_cast<long>(i[8 * k]) * q[col + 8 * k];
            Idct8(x, y);
            for (int k = 0; k < 8; ++k) ws[col + 8 * k] = descale(y[k], 13 - kPass1);
        }
        auto clamp = [](long v) {
            v += 128;
            return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v);
        };
        for (int row = 0; row < 8; ++row) {
            const long* w = ws + 8 * row;
            unsigned char* o = out + row * stride;
            if (!w[1] && !w[2] && !w[3] && !w[4] && !w[5] && !w[6] && !w[7]) {
                unsigned char v = clamp(descale(w[0], kPass1 + 3));
                for (int k = 0; k < 8; ++k) o[k] = v;
                continue;
            }
            Idct8(w, y);
            for (int k = 0; k < 8; ++k) o[k] = clamp(descale(y[k], 13 + kPass1 + 3));
        }
    }

    // The pixels of one row of MCUs, in RGB, into the destination rows.
    void EmitRows(int mcuRow) {
        if (!tablesReady_) {
            // The JPEG library's YCbCr to RGB tables (16-bit fixed point).
            const long kHalf = 1L << 15;
            auto fix = [](double x) { return static_cast<long>(x * 65536.0 + 0.5); };
            for (int i = 0; i < 256; ++i) {
                long x = i - 128;
                crR_[i] = static_cast<int>((fix(1.40200) * x + kHalf) >> 16);
                cbB_[i] = static_cast<int>((fix(1.77200) * x + kHalf) >> 16);
                crG_[i] = -fix(0.71414) * x;
                cbG_[i] = -fix(0.34414) * x + kHalf;
            }
            for (size_t c = 0; c < comps_.size(); ++c) wide_[c].resize(width_);
            tablesReady_ = true;
        }
        auto clamp = [](int v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
        const int y0 = mcuRow * 8 * vmax_;
        for (int y = y0; y < y0 + 8 * vmax_ && y < height_; ++y) {
            // Each component's samples for this row, widened to full
            // resolution where it is subsampled.
            const unsigned char* line[3] = {};
            for (size_t c = 0; c < comps_.size(); ++c) {
                const Component& k = comps_[c];
                const unsigned char* src =
                    &k.plane[static_cast<size_t>((y - y0) * k.v / vmax_) * k.blocksWide * 8];
                if (k.h == hmax_) {
                    line[c] = src;
                } else {
                    for (int x = 0; x < width_; ++x) wide_[c][x] = src[x * k.h / hmax_];
                    line[c] = wide_[c].data();
                }
            }
            uint32_t* out = dest_ + static_cast<size_t>(y) * width_;
            if (comps_.size() == 1) {
                for (int x = 0; x < width_; ++x) {
                    uint32_t g = line[0][x];
                    out[x] = 0xFF000000u | (g << 16) | (g << 8) | g;
                }
                continue;
            }
            for (int x = 0; x < width_; ++x) {
                int yy = line[0][x], cb = line[1][x], cr = line[2][x];
                int r = yy + crR_[cr];
                int g = yy + static_cast<int>((cbG_[cb] + crG_[cr]) >> 16);
                int b = yy + cbB_[cb];
                out[x] = 0xFF000000u | (clamp(r) << 16) | (clamp(g) << 8) | clamp(b);
            }
        }
    }

    const unsigned char* d_;
    size_t n_;
    size_t pos_ = 0;
    int wantW_, wantH_;
    int width_ = 0, height_ = 0, hmax_ = 1, vmax_ = 1, mcusWide_ = 0, mcusHigh_ = 0;
    int restart_ = 0;
    std::vector<Component> comps_;
    Huffman huff_[2][4];
    int quant_[4][64] = {};
    bool quantDefined_[4] = {};
    uint32_t acc_ = 0;
    int count_ = 0, padding_ = 0;
    uint32_t* dest_ = nullptr;
    bool tablesReady_ = false;
    int crR_[256], cbB_[256];
    long crG_[256], cbG_[256];
    std::vector<unsigned char> wide_[3];
};

// ---- GIF -------------------------------------------------------------------

bool DecodeGif(const unsigned char* d, size_t n, int w, int h, uint32_t* dest, bool& transparent) {
    if (n < 13 || w != (d[6] | (d[7] << 8)) || h != (d[8] | (d[9] << 8))) return false;
    if (w <= 0 || h <= 0) return false;
    size_t pos = 13;
    uint32_t global[256] = {};
    int globalCount = 0;
    if (d[10] & 0x80) {
        globalCount = 2 << (d[10] & 7);
        if (pos + 3u * globalCount > n) return false;
        for (int i = 0; i < globalCount; ++i)
            global[i] = (d[pos + 3 * i] << 16) | (d[pos + 3 * i + 1] << 8) | d[pos + 3 * i + 2];
        pos += 3u * globalCount;
    }
    int transparentIndex = -1;
    while (pos < n) {
        unsigned char block = d[pos++];
        if (block == 0x3B) return false;  // no image
        if (block == 0x21) {
            if (pos >= n) return false;
            unsigned char label = d[pos++];
            if (label == 0xF9 && pos + 5 < n && d[pos] == 4) {
                if (d[pos + 1] & 1) transparentIndex = d[pos + 4];
            }
            while (pos < n && d[pos]) pos += d[pos] + 1u;  // sub-blocks
            ++pos;
            continue;
        }
        if (block != 0x2C || pos + 9 > n) return false;
        int left = d[pos] | (d[pos + 1] << 8), top = d[pos + 2] | (d[pos + 3] << 8);
        int fw = d[pos + 4] | (d[pos + 5] << 8), fh = d[pos + 6] | (d[pos + 7] << 8);
        unsigned char flags = d[pos + 8];
        pos += 9;
        uint32_t local[256];
        const uint32_t* palette = global;
        int paletteCount = globalCount;
        if (flags & 0x80) {
            paletteCount = 2 << (flags & 7);
            if (pos + 3u * paletteCount > n) return false;
            for (int i = 0; i < paletteCount; ++i)
                local[i] = (d[pos + 3 * i] << 16) | (d[pos + 3 * i + 1] << 8) | d[pos + 3 * i + 2];
            pos += 3u * paletteCount;
            palette = local;
        }
        if (pos >= n) return false;
        int minSize = d[pos++];
        if (minSize < 2 || minSize > 8) return false;
        // The image data, its sub-blocks joined.
        std::vector<unsigned char> data;
        while (pos < n && d[pos]) {
            size_t len = d[pos];
            if (pos + 1 + len > n) return false;
            data.insert(data.end(), d + pos + 1, d + pos + 1 + len);
            pos += len + 1;
        }
        // LZW.
        std::vector<unsigned char> indices;
        indices.reserve(static_cast<size_t>(fw) * fh);
        const int clear = 1 << minSize, end = clear + 1;
        unsigned short prefix[4096];
        unsigned char suffix[4096], stack[4097];
        int codeSize = minSize + 1, next = clear + 2, old = -1;
        unsigned char first = 0;
        size_t bitPos = 0;
        const size_t totalBits = data.size() * 8;
        while (indices.size() < static_cast<size_t>(fw) * fh && bitPos + codeSize <= totalBits) {
            int code = 0;
            for (int i = 0; i < codeSize; ++i, ++bitPos)
                code |= ((data[bitPos >> 3] >> (bitPos & 7)) & 1) << i;
            if (code == clear) {
                codeSize = minSize + 1;
                next = clear + 2;
                old = -1;
                continue;
            }
            if (code == end) break;
            int sp = 0, c = code;
            if (old < 0) {
                if (code >= clear) return false;
                indices.push_back(static_cast<unsigned char>(code));
                first = static_cast<unsigned char>(code);
                old = code;
                continue;
            }
            if (code > next || (code >= clear && code < clear + 2)) return false;
            if (code == next) {
                stack[sp++] = first;
                c = old;
            }
            while (c >= clear) {
                if (sp >= 4096) return false;
                stack[sp++] = suffix[c];
                c = prefix[c];
            }
            first = static_cast<unsigned char>(c);
            stack[sp++] = first;
            while (sp) indices.push_back(stack[--sp]);
            if (next < 4096) {
                prefix[next] = static_cast<unsigned short>(old);
                suffix[next] = first;
                ++next;
                if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
            }
            old = code;
        }
        indices.resize(static_cast<size_t>(fw) * fh, 0);
        // Onto the canvas: see-through where the image leaves it uncovered
        // or shows its transparent colour.
        std::fill(dest, dest + static_cast<size_t>(w) * h, 0u);
        transparent = false;
        const bool interlaced = (flags & 0x40) != 0;
        int row = 0, pass = 0;
        static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
        for (int i = 0; i < fh; ++i) {
            int y = i;
            if (interlaced) {
                while (pass < 4 && row >= fh) {
                    ++pass;
                    row = pass < 4 ? kStart[pass] : 0;
                }
                y = row;
                row += kStep[pass < 4 ? pass : 3];
            }
            for (int x = 0; x < fw; ++x) {
                int cx = left + x, cy = top + y;
                if (cx >= w || cy >= h) continue;
                int index = indices[static_cast<size_t>(i) * fw + x];
                uint32_t& p = dest[static_cast<size_t>(cy) * w + cx];
                p = index == transparentIndex || index >= paletteCount ? 0 : 0xFF000000u | palette[index];
            }
        }
        for (size_t i = 0; i < static_cast<size_t>(w) * h && !transparent; ++i)
            transparent = (dest[i] >> 24) == 0;
        return true;
    }
    return false;
}

}  // namespace

bool ImageSize(const unsigned char* d, size_t n, int& w, int& h) {
    if (n >= 10 && std::memcmp(d, "GIF8", 4) == 0) {
        w = d[6] | (d[7] << 8);
        h = d[8] | (d[9] << 8);
        return true;
    }
    if (n >= 4 && d[0] == 0xFF && d[1] == 0xD8) {
        size_t i = 2;
        while (i + 9 < n) {
            if (d[i] != 0xFF) return false;
            unsigned char m = d[i + 1];
            size_t len = (d[i + 2] << 8) | d[i + 3];
            bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
            if (sof) {
                h = (d[i + 5] << 8) | d[i + 6];
                w = (d[i + 7] << 8) | d[i + 8];
                return true;
            }
            i += 2 + len;
        }
    }
    return false;
}

bool DecodeImageInto(const unsigned char* data, size_t size, int width, int height, uint32_t* dest,
                     bool& transparent) {
    transparent = false;
    if (size >= 6 && std::memcmp(data, "GIF8", 4) == 0)
        return DecodeGif(data, size, width, height, dest, transparent);
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8)
        return Jpeg(data, size, width, height).Decode(dest);
    return false;
}

}  // namespace host
