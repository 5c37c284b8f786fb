#include "kv_device_display.h"

const std::map<QString, KV_Device_Size>& kv_device_sizes()
{
    static const std::map<QString, KV_Device_Size> sizes{
        {QStringLiteral("Ausgeschaltet"), {Unknown, QSize()}},
        {QStringLiteral("iPhone 2G/3G/3GS (320 x 480)"), {iPhone_2G_3G_3GS, QSize(320, 480)}},
        {QStringLiteral("iPhone 5 /SE /SC (320x568) 2-fach"), {iPhone_5_SE_SC, QSize(640, 1136)}},
        {QStringLiteral("iPhone 4/4S (320x480) 2-fach"), {iPhone_4_4S, QSize(640, 960)}},
        {QStringLiteral("iPod Touch (320x568) 2-fach"), {iPod_Touch, QSize(640, 1136)}},
        {QStringLiteral("iPhone 6/6S/7/8 (375x667) 2-fach"), {iPhone_6_6S_7_8, QSize(750, 1334)}},
        {QStringLiteral("iPad Mini (768x1024)"), {iPad_Mini, QSize(768, 1024)}},
        {QStringLiteral("iPad 1 & 2 (768x1024)"), {iPad_1_and_2, QSize(768, 1024)}},
        {QStringLiteral("iPhone XR (414x896) 2-fach"), {iPhone_XR, QSize(828, 1792)}},
        {QStringLiteral("iPhone XS (375x812) 3-fach"), {iPhone_XS, QSize(1125, 2436)}},
        {QStringLiteral("iPhone X (375x812) 3-fach"), {iPhone_X, QSize(1125, 2436)}},
        {QStringLiteral("iPhone 6/6S/7/8 Plus (414x736) 3-fach"), {iPhone_6_6S_7_8_Plus, QSize(1242, 2208)}},
        {QStringLiteral("iPhone XS Max (414x896) 3-fach"), {iPhone_XS_Max, QSize(1242, 2688)}},
        {QStringLiteral("iPad 3 & 4 (768x1024) 2-fach"), {iPad_3_and_4, QSize(1536, 2048)}},
        {QStringLiteral("iPad Air 1 & 2 (768x1024) 2-fach"), {iPad_Air_1_and_2, QSize(1536, 2048)}},
        {QStringLiteral("iPad Mini 2 & 3 (768x1024) 2-fach"), {iPad_Mini_2_and_3, QSize(1536, 2048)}},
        {QStringLiteral("iPad Pro (1024x1366) Faktor 2-fach"), {iPad_Pro, QSize(2048, 2732)}},
        {QStringLiteral("XGA (1024×768)"), {XGA, QSize(768, 1024)}},
        {QStringLiteral("WXGA (1280×800)"), {WXGA, QSize(800, 1280)}},
        {QStringLiteral("QVGA (1280×960)"), {QVGA, QSize(960, 1280)}},
        {QStringLiteral("WXGA (1376×768)"), {WXGA1, QSize(768, 1376)}},
        {QStringLiteral("UXGA (1600×1200)"), {UXGA, QSize(1200, 1600)}},
        {QStringLiteral("HD (1920×1080)"), {HD, QSize(1080, 1920)}},
    };
    return sizes;
}

QSize kv_device_size(DeviceDisplay device)
{
    for (const auto& [text, entry] : kv_device_sizes())
        if (entry.device == device)
            return entry.size;
    return QSize();
}
