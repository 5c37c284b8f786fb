#include "kv_demo_media.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

void put_be32(KV_Bytes& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

void put_le16(KV_Bytes& out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put_le32(KV_Bytes& out, uint32_t v)
{
    put_le16(out, v & 0xFFFF);
    put_le16(out, v >> 16);
}

void put_text(KV_Bytes& out, const char* text)
{
    while (*text)
        out.push_back(static_cast<unsigned char>(*text++));
}

uint32_t crc32(const unsigned char* data, size_t size, uint32_t crc = 0)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void png_chunk(KV_Bytes& out, const char* type, const KV_Bytes& body)
{
    put_be32(out, static_cast<uint32_t>(body.size()));
    KV_Bytes typed;
    put_text(typed, type);
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    put_be32(out, crc32(typed.data(), typed.size()));
}

// zlib stream of stored deflate blocks.
KV_Bytes zlib_stored(const KV_Bytes& raw)
{
    KV_Bytes out = {0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t len = std::min<size_t>(raw.size() - pos, 65535);
        const bool last = pos + len == raw.size();
        out.push_back(last ? 1 : 0);
        put_le16(out, static_cast<uint32_t>(len));
        put_le16(out, static_cast<uint32_t>(~len & 0xFFFF));
        out.insert(out.end(), raw.begin() + pos, raw.begin() + pos + len);
        pos += len;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put_be32(out, (b << 16) | a);
    return out;
}

// Packs variable-width codes least significant bit first, as GIF wants.
class Bit_Writer {
public:
    void put(uint32_t code, int width)
    {
        m_acc |= code << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes.push_back(static_cast<unsigned char>(m_acc));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    KV_Bytes finish()
    {
        if (m_bits > 0)
            m_bytes.push_back(static_cast<unsigned char>(m_acc));
        return std::move(m_bytes);
    }

private:
    uint32_t m_acc = 0;
    int m_bits = 0;
    KV_Bytes m_bytes;
};

// LZW without compression: a clear code before every second pixel keeps the
// code table below eight entries, so every code stays three bits wide.
KV_Bytes gif_lzw_2bit(const KV_Bytes& indexes)
{
    constexpr uint32_t CLEAR = 4, END = 5;
    Bit_Writer bits;
    for (size_t i = 0; i < indexes.size(); ++i) {
        if (i % 2 == 0)
            bits.put(CLEAR, 3);
        bits.put(indexes[i] & 3, 3);
    }
    bits.put(END, 3);
    return bits.finish();
}

// ---- images ---------------------------------------------------------------

// Evening sky over a hill, used as a page background (stretched by the page).
KV_Rgb_Image background_image()
{
    KV_Rgb_Image img{160, 90, {}};
    img.pixels.reserve(size_t(img.width) * img.height * 3);
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const double hill = 62 + 10 * std::sin(x / 25.0) + 4 * std::sin(x / 7.0 + 1.0);
            const double sun = std::hypot(x - 118.0, y - 30.0);
            int r, g, b;
            if (y > hill) {
                const int shade = int((y - hill) * 2);
                r = 70 - shade / 2;
                g = 120 - shade;
                b = 80 - shade / 2;
            } else if (sun < 9) {
                r = 255, g = 214, b = 120;
            } else {
                const double t = double(y) / img.height;
                const double glow = std::max(0.0, 1.0 - sun / 60.0);
                r = int(120 + 120 * t + 40 * glow);
                g = int(160 + 40 * t + 20 * glow);
                b = int(220 - 60 * t);
            }
            img.pixels.push_back(static_cast<unsigned char>(std::clamp(r, 0, 255)));
            img.pixels.push_back(static_cast<unsigned char>(std::clamp(g, 0, 255)));
            img.pixels.push_back(static_cast<unsigned char>(std::clamp(b, 0, 255)));
        }
    }
    return img;
}

// A ringing bell: two frames, the clapper left and right.
KV_Bytes bell_gif()
{
    constexpr int W = 32, H = 32;
    std::vector<KV_Bytes> frames;
    for (int frame = 0; frame < 2; ++frame) {
        KV_Bytes px(W * H, 0);
        const int tilt = frame == 0 ? -3 : 3;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const int dx = x - 16 - (tilt * (26 - y)) / 20;
                const int half = y < 6 ? 0 : 4 + (y - 6) / 2;
                if (y >= 4 && y <= 24 && std::abs(dx) <= half)
                    px[y * W + x] = 1; // bell
                if (y >= 25 && y <= 28 && std::abs(x - 16 - tilt) <= 2)
                    px[y * W + x] = 2; // clapper
                if (y >= 1 && y < 4 && std::abs(x - 16) <= 1)
                    px[y * W + x] = 2; // hanger
            }
        }
        frames.push_back(std::move(px));
    }
    return kv_encode_gif(W, H, {0xFFFFFF, 0xF2B705, 0x5A4A1A, 0x000000}, frames, 40);
}

// "Ding-dong": two decaying tones.
KV_Bytes door_bell_wav()
{
    constexpr int RATE = 8000;
    constexpr double PI = 3.14159265358979323846;
    std::vector<int16_t> samples;
    const struct {
        double freq;
        double seconds;
    } tones[] = {{660.0, 0.35}, {523.25, 0.55}};
    for (const auto& tone : tones) {
        const int count = int(tone.seconds * RATE);
        for (int i = 0; i < count; ++i) {
            const double envelope = 1.0 - double(i) / count;
            samples.push_back(int16_t(9000 * envelope * std::sin(2 * PI * tone.freq * i / RATE)));
        }
    }
    return kv_encode_wav(samples, RATE);
}

KV_Bytes bytes_of(const char* text)
{
    KV_Bytes out;
    put_text(out, text);
    return out;
}

const char* const SVG_HOUSE = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 64 64">
<path d="M8 30 L32 8 L56 30" fill="none" stroke="#29C7A5" stroke-width="4" stroke-linejoin="round"/>
<rect x="14" y="28" width="36" height="28" fill="#F2F2F2" stroke="#3B3B3B" stroke-width="2"/>
<rect x="28" y="40" width="9" height="16" fill="#8D6E63"/>
<rect x="18" y="34" width="7" height="7" fill="#FFE082"/><rect x="40" y="34" width="7" height="7" fill="#FFE082"/>
<circle cx="52" cy="12" r="5" fill="#FFB300"/>
</svg>
)";

const char* const SVG_LAMP_ON = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48">
<circle cx="24" cy="20" r="12" fill="#FFD54F" stroke="#F9A825" stroke-width="2"/>
<rect x="19" y="32" width="10" height="8" rx="2" fill="#757575"/>
<g stroke="#FFB300" stroke-width="2"><line x1="24" y1="2" x2="24" y2="5"/><line x1="6" y1="20" x2="9" y2="20"/>
<line x1="39" y1="20" x2="42" y2="20"/><line x1="11" y1="7" x2="13" y2="9"/><line x1="37" y1="7" x2="35" y2="9"/></g>
</svg>
)";

const char* const SVG_LAMP_OFF = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48">
<circle cx="24" cy="20" r="12" fill="#ECEFF1" stroke="#90A4AE" stroke-width="2"/>
<rect x="19" y="32" width="10" height="8" rx="2" fill="#757575"/>
</svg>
)";

const char* const SVG_WINDOW_CLOSED = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48">
<rect x="8" y="4" width="32" height="40" fill="#E3F2FD" stroke="#455A64" stroke-width="3"/>
<line x1="24" y1="4" x2="24" y2="44" stroke="#455A64" stroke-width="2"/>
</svg>
)";

const char* const SVG_WINDOW_OPEN = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48">
<rect x="8" y="4" width="32" height="40" fill="#FFEBEE" stroke="#455A64" stroke-width="3"/>
<path d="M24 4 L36 10 L36 48 L24 44 Z" fill="#BBDEFB" stroke="#C62828" stroke-width="2"/>
</svg>
)";

const char* const SVG_SUN = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48">
<circle cx="24" cy="24" r="10" fill="#FFB300"/>
<g stroke="#FFB300" stroke-width="3" stroke-linecap="round">
<line x1="24" y1="3" x2="24" y2="9"/><line x1="24" y1="39" x2="24" y2="45"/><line x1="3" y1="24" x2="9" y2="24"/>
<line x1="39" y1="24" x2="45" y2="24"/><line x1="9" y1="9" x2="13" y2="13"/><line x1="35" y1="35" x2="39" y2="39"/>
<line x1="39" y1="9" x2="35" y2="13"/><line x1="13" y1="35" x2="9" y2="39"/></g>
</svg>
)";

const char* const SVG_GARDEN = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48">
<path d="M24 44 L24 24" stroke="#6D4C41" stroke-width="4"/>
<circle cx="24" cy="18" r="13" fill="#66BB6A"/><circle cx="17" cy="14" r="3" fill="#EF5350"/>
<rect x="2" y="42" width="44" height="4" fill="#8BC34A"/>
</svg>
)";

} // namespace

KV_Bytes kv_encode_png(const KV_Rgb_Image& image)
{
    KV_Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    KV_Bytes header;
    put_be32(header, uint32_t(image.width));
    put_be32(header, uint32_t(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bit, RGB, deflate, no filter, no interlace
    png_chunk(out, "IHDR", header);
    KV_Bytes raw;
    const size_t row = size_t(image.width) * 3;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), image.pixels.begin() + y * row, image.pixels.begin() + (y + 1) * row);
    }
    png_chunk(out, "IDAT", zlib_stored(raw));
    png_chunk(out, "IEND", {});
    return out;
}

KV_Bytes kv_encode_gif(int width, int height, const std::vector<uint32_t>& palette,
                       const std::vector<KV_Bytes>& frames, int delay_centiseconds)
{
    KV_Bytes out;
    put_text(out, "GIF89a");
    put_le16(out, uint32_t(width));
    put_le16(out, uint32_t(height));
    out.insert(out.end(), {0xF1, 0, 0}); // global table of 4 colours
    for (size_t i = 0; i < 4; ++i) {
        const uint32_t c = i < palette.size() ? palette[i] : 0;
        out.insert(out.end(), {static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 8),
                               static_cast<unsigned char>(c)});
    }
    out.insert(out.end(), {0x21, 0xFF, 0x0B});
    put_text(out, "NETSCAPE2.0");
    out.insert(out.end(), {0x03, 0x01, 0x00, 0x00, 0x00}); // loop forever
    for (const KV_Bytes& frame : frames) {
        out.insert(out.end(), {0x21, 0xF9, 0x04, 0x04});
        put_le16(out, uint32_t(delay_centiseconds));
        out.insert(out.end(), {0x00, 0x00});
        out.push_back(0x2C);
        put_le16(out, 0);
        put_le16(out, 0);
        put_le16(out, uint32_t(width));
        put_le16(out, uint32_t(height));
        out.push_back(0x00);
        out.push_back(0x02); // LZW minimum code size
        const KV_Bytes data = gif_lzw_2bit(frame);
        for (size_t pos = 0; pos < data.size(); pos += 255) {
            const size_t len = std::min<size_t>(255, data.size() - pos);
            out.push_back(static_cast<unsigned char>(len));
            out.insert(out.end(), data.begin() + pos, data.begin() + pos + len);
        }
        out.push_back(0x00);
    }
    out.push_back(0x3B);
    return out;
}

KV_Bytes kv_encode_wav(const std::vector<int16_t>& samples, int sample_rate)
{
    const uint32_t data_size = uint32_t(samples.size() * 2);
    KV_Bytes out;
    put_text(out, "RIFF");
    put_le32(out, 36 + data_size);
    put_text(out, "WAVEfmt ");
    put_le32(out, 16);
    put_le16(out, 1); // PCM
    put_le16(out, 1); // mono
    put_le32(out, uint32_t(sample_rate));
    put_le32(out, uint32_t(sample_rate) * 2);
    put_le16(out, 2);
    put_le16(out, 16);
    put_text(out, "data");
    put_le32(out, data_size);
    for (int16_t s : samples)
        put_le16(out, uint16_t(s));
    return out;
}

std::u16string kv_utf8_to_utf16(const std::string& text)
{
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        uint32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        bool ok = extra >= 0 && i + extra < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const unsigned char cc = static_cast<unsigned char>(text[i + k]);
            ok = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

KV_Bytes kv_encode_language_file(const std::vector<std::pair<std::string, std::string>>& entries)
{
    auto escaped = [](const std::string& text) {
        std::string out;
        for (char c : text) {
            if (c == '\n')
                out += "\\n";
            else if (c == '\t')
                out += "\\t";
            else
                out += c;
        }
        return out;
    };
    KV_Bytes out;
    put_be32(out, uint32_t(entries.size()));
    for (const auto& [source, translation] : entries) {
        // Sources are compared as stored, so only translations carry escapes.
        const std::u16string units = kv_utf8_to_utf16(source + '\x02' + escaped(translation));
        put_be32(out, uint32_t(units.size() * 2));
        for (char16_t u : units) {
            out.push_back(static_cast<unsigned char>(u >> 8));
            out.push_back(static_cast<unsigned char>(u));
        }
    }
    return out;
}

std::vector<KV_Demo_File> kv_demo_media_files()
{
    return {
        {"haus.svg", bytes_of(SVG_HOUSE)},
        {"lampe_ein.svg", bytes_of(SVG_LAMP_ON)},
        {"lampe_aus.svg", bytes_of(SVG_LAMP_OFF)},
        {"fenster_zu.svg", bytes_of(SVG_WINDOW_CLOSED)},
        {"fenster_offen.svg", bytes_of(SVG_WINDOW_OPEN)},
        {"sonne.svg", bytes_of(SVG_SUN)},
        {"garten.svg", bytes_of(SVG_GARDEN)},
        {"abendhimmel.png", kv_encode_png(background_image())},
        {"klingel.gif", bell_gif()},
        {"klingel.wav", door_bell_wav()},
    };
}
