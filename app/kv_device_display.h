#pragma once
// Fixed device sizes of the app window: the devices a panel layout is tried
// on, each with its window size in pixels (portrait form).

#include <QSize>
#include <QString>
#include <map>

enum DeviceDisplay {
    Unknown,
    iPhone_2G_3G_3GS,
    iPhone_5_SE_SC,
    iPhone_4_4S,
    iPod_Touch,
    iPhone_6_6S_7_8,
    iPad_Mini,
    iPad_1_and_2,
    iPhone_XR,
    iPhone_XS,
    iPhone_X,
    iPhone_6_6S_7_8_Plus,
    iPhone_XS_Max,
    iPad_3_and_4,
    iPad_Air_1_and_2,
    iPad_Mini_2_and_3,
    iPad_Pro,
    XGA,
    WXGA,
    QVGA,
    WXGA1,
    UXGA,
    HD,
};

struct KV_Device_Size {
    DeviceDisplay device = Unknown;
    QSize size; // empty for "Ausgeschaltet"
};

// Menu text -> device and size; the menu lists it in key order.
const std::map<QString, KV_Device_Size>& kv_device_sizes();

// The window size of a device; an empty size for Unknown.
QSize kv_device_size(DeviceDisplay device);
