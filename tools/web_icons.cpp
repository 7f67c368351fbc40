// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Draws the window's framed-box icon for the web site as DIR/icon-N.png, one file for each size
// given. The site's build runs it under Node, so the page's and the installed app's icons are
// the game's own drawing. Qt is not there to write the files, and a picture of a few flat
// colours needs little: a palette, and deflate with fixed codes and back-references, which
// shrink the 512-pixel icon from 768 KB of pixels to a few hundred bytes.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "playfield/sprites.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t crc32(const uint8_t* data, size_t n) {
    uint32_t crc = ~0U;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
        }
    }
    return ~crc;
}

void put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(v >> shift));
    }
}

// A zlib stream of one deflate block with the fixed codes.
class Deflate {
  public:
    Bytes compress(const Bytes& in) {
        out_ = {0x78, 0x01};
        bits(1, 1);                       // the last block
        bits(1, 2);                       // fixed codes
        std::map<uint32_t, size_t> last;  // where each three bytes were last seen
        for (size_t i = 0; i < in.size();) {
            size_t length = 0;
            size_t distance = 0;
            if (i + 3 <= in.size()) {
                const uint32_t key = in[i] | (in[i + 1] << 8) | (in[i + 2] << 16);
                auto it = last.find(key);
                if (it != last.end() && i - it->second <= 32768) {
                    distance = i - it->second;
                    while (length < 258 && i + length < in.size() &&
                           in[i + length] == in[i + length - distance]) {
                        ++length;
                    }
                }
                last[key] = i;
            }
            if (length >= 3) {
                match(length, distance);
                i += length;
            } else {
                symbol(in[i++]);
            }
        }
        symbol(256);
        if (fill_ > 0) {
            out_.push_back(static_cast<uint8_t>(acc_));
        }
        uint32_t a = 1, b = 0;
        for (uint8_t v : in) {
            a = (a + v) % 65521;
            b = (b + a) % 65521;
        }
        put32(out_, (b << 16) | a);
        return out_;
    }

  private:
    void bits(uint32_t value, int count) {  // least significant bit first
        for (int k = 0; k < count; ++k) {
            acc_ |= ((value >> k) & 1U) << fill_;
            if (++fill_ == 8) {
                out_.push_back(static_cast<uint8_t>(acc_));
                acc_ = 0;
                fill_ = 0;
            }
        }
    }
    void code(uint32_t value, int count) {  // Huffman codes go most significant bit first
        for (int k = count - 1; k >= 0; --k) {
            bits((value >> k) & 1U, 1);
        }
    }
    void symbol(int s) {
        if (s < 144) {
            code(0x30 + s, 8);
        } else if (s < 256) {
            code(0x190 + s - 144, 9);
        } else if (s < 280) {
            code(s - 256, 7);
        } else {
            code(0xC0 + s - 280, 8);
        }
    }
    void match(size_t length, size_t distance) {
        static constexpr std::array<int, 29> kLength = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                        15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                        67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr std::array<int, 30> kDistance = {
            1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
            193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        const auto extra = [](size_t c, bool isDistance) {
            return isDistance ? (c < 4 ? 0 : static_cast<int>(c / 2 - 1))
                              : (c < 8 || c == 28 ? 0 : static_cast<int>(c / 4 - 1));
        };
        size_t l = kLength.size() - 1;
        while (kLength[l] > static_cast<int>(length)) {
            --l;
        }
        symbol(static_cast<int>(257 + l));
        bits(static_cast<uint32_t>(length - kLength[l]), extra(l, false));
        size_t d = kDistance.size() - 1;
        while (kDistance[d] > static_cast<int>(distance)) {
            --d;
        }
        code(static_cast<uint32_t>(d), 5);
        bits(static_cast<uint32_t>(distance - kDistance[d]), extra(d, true));
    }

    Bytes out_;
    uint32_t acc_ = 0;
    int fill_ = 0;
};

void chunk(Bytes& png, const char* type, const Bytes& data) {
    put32(png, static_cast<uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    put32(png, crc32(body.data(), body.size()));
}

// An 8-bit palette PNG: the icon has far fewer than 256 colours.
Bytes png(const rt::Picture& p) {
    std::map<uint32_t, uint8_t> index;
    Bytes palette;
    Bytes raw;
    for (int y = 0; y < p.height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < p.width; ++x) {
            const uint32_t c = p.at(x, y) & 0xFFFFFFU;
            auto [it, added] = index.try_emplace(c, static_cast<uint8_t>(index.size()));
            if (added) {
                palette.insert(palette.end(),
                               {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                                static_cast<uint8_t>(c)});
            }
            raw.push_back(it->second);
        }
    }
    if (index.size() > 256) {
        std::fprintf(stderr, "the icon has more colours than a palette holds\n");
        std::exit(1);
    }
    Bytes header;
    put32(header, static_cast<uint32_t>(p.width));
    put32(header, static_cast<uint32_t>(p.height));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8 bits a pixel, palette, no interlace
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(out, "IHDR", header);
    chunk(out, "PLTE", palette);
    chunk(out, "IDAT", Deflate().compress(raw));
    chunk(out, "IEND", {});
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIR SIZE...\n", argv[0]);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const std::string file = std::string(argv[1]) + "/icon-" + std::to_string(size) + ".png";
        const Bytes bytes = png(*playfield::framedBoxIcon(size));
        FILE* f = std::fopen(file.c_str(), "wb");
        if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
            std::fclose(f) != 0) {
            std::fprintf(stderr, "could not write %s\n", file.c_str());
            return 1;
        }
    }
    return 0;
}
