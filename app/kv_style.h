#pragma once
#include <QString>

// App styles by index: 0 light, 1 dark.
constexpr int KV_STYLE_LIGHT = 0;
constexpr int KV_STYLE_DARK = 1;

// Resource path of the app style sheet for an index, empty for any other index.
QString kv_app_style_path(int index);

// A style sheet file read whole as Latin-1 text; empty when it cannot be opened.
QString kv_read_style_sheet(const QString& path);
