#include "kv_time_presets.h"

#include <QSettings>
#include <algorithm>

#include "kv_settings_organisation.h"
#include "kv_trace.h"

namespace {
// The times travel in the clock record's own text, as one clock holding
// them: every field of a time is kept, and a damaged text reads with the
// record's defaults.
QByteArray times_text(const std::vector<KV_Clock_Time>& times)
{
    KV_Settings_Clock holder;
    holder.m_list_clock.emplace_back().m_list_time = times;
    return QByteArray::fromStdString(holder.encode());
}

std::vector<KV_Clock_Time> times_from_text(const QByteArray& text)
{
    const KV_Settings_Clock holder(text.toStdString());
    return holder.m_list_clock.empty() ? std::vector<KV_Clock_Time>{} : holder.m_list_clock.front().m_list_time;
}

// QSettings keeps "/" for groups: a GUID has none, any other identifier
// loses them.
QString group_of(const std::string& program)
{
    return QString::fromStdString(program).replace(QLatin1Char('/'), QLatin1Char('_'));
}

QSettings store()
{
    return QSettings(QLatin1String(KV_SETTINGS_ORGANISATION), QLatin1String(KV_Time_Presets::SCOPE));
}
} // namespace

std::vector<KV_Time_Preset> KV_Time_Presets::load(const std::string& program)
{
    std::vector<KV_Time_Preset> presets;
    if (program.empty())
        return presets;
    QSettings settings = store();
    settings.beginGroup(group_of(program));
    const int count = std::min(settings.beginReadArray(QStringLiteral("presets")), int(MAX_PRESETS));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        presets.push_back({settings.value(QStringLiteral("name")).toString(),
                           times_from_text(settings.value(QStringLiteral("times")).toByteArray())});
    }
    settings.endArray();
    return presets;
}

bool KV_Time_Presets::save(const std::string& program, const std::vector<KV_Time_Preset>& presets)
{
    if (program.empty())
        return false;
    QSettings settings = store();
    settings.beginGroup(group_of(program));
    settings.remove(QString()); // the group's old array, whatever its length
    if (!presets.empty()) {
        settings.beginWriteArray(QStringLiteral("presets"), int(std::min(presets.size(), MAX_PRESETS)));
        for (size_t i = 0; i < presets.size() && i < MAX_PRESETS; ++i) {
            settings.setArrayIndex(int(i));
            settings.setValue(QStringLiteral("name"), presets[i].name);
            settings.setValue(QStringLiteral("times"), times_text(presets[i].times));
        }
        settings.endArray();
    }
    settings.endGroup();
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "TIME PRESETS NOT STORED: %s\n", qPrintable(settings.fileName()));
    return false;
}
