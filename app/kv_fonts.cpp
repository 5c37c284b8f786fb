#include "kv_fonts.h"

#include <QDebug>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

namespace {
// The file of the medium face names its weight in a family of its own.
void register_font(const QString& resource, const char* family)
{
    const int id = QFontDatabase::addApplicationFont(resource);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty())
        return;
    QFont::insertSubstitution(QLatin1String(family), families.last());
}
} // namespace

void kv_register_fonts()
{
    register_font(QStringLiteral(":/fonts/Inter-Medium.otf"), KV_FONT_MEDIUM);
    register_font(QStringLiteral(":/fonts/Inter-Regular.otf"), KV_FONT_REGULAR);
    for (int id = 0; id < 4; ++id)
        qDebug() << "default" << QFontDatabase::applicationFontFamilies(id);
}

void kv_disable_font_hinting()
{
    QFont font = QGuiApplication::font();
    font.setHintingPreference(QFont::PreferNoHinting);
    QGuiApplication::setFont(font);
}
