#pragma once
// Files the demo project stores in KV_FILES: images, a sound and a language
// file, all generated here so that the demo needs nothing from the source tree.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using KV_Bytes = std::vector<unsigned char>;

struct KV_Demo_File {
    std::string name;
    KV_Bytes data;
};

// An RGB image, rows top to bottom, 3 bytes per pixel.
struct KV_Rgb_Image {
    int width = 0;
    int height = 0;
    KV_Bytes pixels;
};

// PNG with uncompressed (stored) deflate blocks.
KV_Bytes kv_encode_png(const KV_Rgb_Image& image);

// Animated GIF of up to four colours (0xRRGGBB), frames of palette indexes,
// looping forever.
KV_Bytes kv_encode_gif(int width, int height, const std::vector<uint32_t>& palette,
                       const std::vector<KV_Bytes>& frames, int delay_centiseconds);

// 16-bit mono PCM WAVE.
KV_Bytes kv_encode_wav(const std::vector<int16_t>& samples, int sample_rate);

// A language file: the string list "source" U+0002 "translation" in the
// data-stream form (32-bit big-endian count, per string its byte length and
// UTF-16BE units). Line breaks and tabs of a translation are stored as the
// escapes \n and \t; sources are stored as they are.
KV_Bytes kv_encode_language_file(const std::vector<std::pair<std::string, std::string>>& entries);

// UTF-8 to UTF-16 code units; malformed bytes become U+FFFD.
std::u16string kv_utf8_to_utf16(const std::string& text);

// The demo's images (SVG, PNG, GIF) and its door bell sound.
std::vector<KV_Demo_File> kv_demo_media_files();
