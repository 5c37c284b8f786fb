#include "kv_wall_settings.h"

#include "kv_app_version.h"

#include <QSettings>
#include <algorithm>

namespace {
QSettings store()
{
    return QSettings(QLatin1String(KV_SETTINGS_ORGANISATION), QLatin1String(KV_Wall_Settings::SCOPE));
}
} // namespace

KV_Wall_Settings KV_Wall_Settings::load()
{
    const QSettings settings = store();
    KV_Wall_Settings wall;
    wall.idle_return_minutes = std::clamp(settings.value(QStringLiteral("kv_idle_return_min"), 0).toInt(), 0, MAX_IDLE_MINUTES);
    wall.kiosk = settings.value(QStringLiteral("kv_kiosk"), false).toBool();
    const QString pin = settings.value(QStringLiteral("kv_settings_pin"), wall.pin).toString();
    // A PIN that cannot be typed on the keypad would lock the panel for good.
    if (!pin.isEmpty() && std::all_of(pin.begin(), pin.end(), [](QChar c) { return c.isDigit(); }))
        wall.pin = pin;
    return wall;
}

void KV_Wall_Settings::save() const
{
    QSettings settings = store();
    settings.setValue(QStringLiteral("kv_idle_return_min"), idle_return_minutes);
    settings.setValue(QStringLiteral("kv_kiosk"), kiosk);
    settings.setValue(QStringLiteral("kv_settings_pin"), pin);
    settings.sync();
}
