#pragma once
#include <QString>

// What a wall-mounted panel needs beyond the "Common" keys, kept in a scope of
// its own ("Wall") of the settings store: the minutes without a touch after
// which the panel goes back to the start page (0 = off), kiosk mode, and the
// PIN that leaves kiosk mode.
struct KV_Wall_Settings
{
    static constexpr const char* SCOPE = "Wall";
    static constexpr int MAX_IDLE_MINUTES = 240;

    int idle_return_minutes = 0;
    bool kiosk = false;
    QString pin = QStringLiteral("0000");

    static KV_Wall_Settings load();
    void save() const;
};
