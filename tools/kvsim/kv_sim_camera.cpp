#include "kv_sim_camera.h"

#include <QBuffer>
#include <QImage>

namespace {
constexpr int WIDTH = 160;
constexpr int HEIGHT = 120;
constexpr int DOT = 3; // side of one block of a digit

// Digits of 3 x 5 blocks, one row per 3 bits, top row in the high bits.
constexpr int DIGITS[10] = {0b111101101101111, 0b010110010010111, 0b111001111100111, 0b111001111001111,
                            0b101101111001001, 0b111100111001111, 0b111100111101111, 0b111001010010010,
                            0b111101111101111, 0b111101111001111};

void draw_block(QImage& image, int x, int y)
{
    for (int dy = 0; dy < DOT; ++dy)
        for (int dx = 0; dx < DOT; ++dx)
            image.setPixel(x + dx, y + dy, qRgb(255, 255, 255));
}

void draw_char(QImage& image, QChar c, int x, int y)
{
    if (c == QLatin1Char(':')) {
        draw_block(image, x, y + DOT);
        draw_block(image, x, y + 3 * DOT);
        return;
    }
    const int pattern = DIGITS[c.digitValue()];
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 3; ++column)
            if (pattern & (1 << (14 - row * 3 - column)))
                draw_block(image, x + column * DOT, y + row * DOT);
}
} // namespace

QByteArray kv_sim_camera_picture(const QTime& time)
{
    QImage image(WIDTH, HEIGHT, QImage::Format_RGB32);
    const int turn = time.second() * 255 / 59;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            image.setPixel(x, y, qRgb((x * 255 / WIDTH + turn) % 256, y * 255 / HEIGHT, 255 - turn));

    const QString text = time.toString(QStringLiteral("hh:mm:ss"));
    int x = 8;
    for (QChar c : text) {
        draw_char(image, c, x, HEIGHT - 8 - 5 * DOT);
        x += (c == QLatin1Char(':') ? 2 : 4) * DOT;
    }

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
