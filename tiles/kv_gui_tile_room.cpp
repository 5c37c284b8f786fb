#include "kv_gui_tile_room.h"

#include <QStringList>
#include <cmath>

#include "kv_network_msg.h"
#include "kv_scene_messages.h"
#include "kv_visu_host.h"

std::string kv_tile_target_page(const CKV_Gui_Control& control, const char* dependent_label)
{
    if (control.param_int(dependent_label) == 1) {
        const QString user = QString::fromStdString(control.host().user());
        const QStringList entries = control.param("Seite User").split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString& entry : entries) {
            const qsizetype equals = entry.indexOf(QLatin1Char('='));
            if (equals > 0 && entry.left(equals).trimmed() == user)
                return entry.mid(equals + 1).trimmed().toStdString();
        }
    }
    return control.param("Seite").toStdString();
}

// ---------------------------------------------------------------- room

void CKV_Gui_Control_Tile_Room::on_release(const QPoint&)
{
    const std::string page = kv_tile_target_page(*this, "Ziel Benutzerabhängig");
    if (!page.empty())
        host().goPage(page);
}

void CKV_Gui_Control_Tile_Room::paint_content(QPainter& painter)
{
    paint_standard(painter, text_param("Text"), text_param("Info"), false);
}

// ---------------------------------------------------------------- scene

bool CKV_Gui_Control_Tile_Scene::is_active() const
{
    return !entry_address(0).is_null() && std::lround(entry_value(0)) == 1;
}

void CKV_Gui_Control_Tile_Scene::on_value(const KV_Addr_Db&, int entry, double)
{
    if (entry == 0)
        update();
}

void CKV_Gui_Control_Tile_Scene::on_release(const QPoint& point)
{
    const QPoint moved = point - press_point();
    if (!host().run_mode() || is_active() || moved.manhattanLength() > SWIPE_DISTANCE)
        return;
    kv_scene_start(host(), param("GUID").toLatin1().toStdString());
}

QColor CKV_Gui_Control_Tile_Scene::tile_color() const
{
    if (shows_pressed())
        return or_default(btncolorpress(), QColor(0xEA, 0xEA, 0xEA));
    return CKV_Gui_Control_Tile_Base::tile_color();
}

QColor CKV_Gui_Control_Tile_Scene::icon_color(bool on) const
{
    return on ? CKV_Gui_Control_Tile_Base::icon_color(true) : tile_scene_inactive_color();
}

void CKV_Gui_Control_Tile_Scene::paint_content(QPainter& painter)
{
    paint_standard(painter, text_param("Text"), text_param("Info"), is_active());
}

void CKV_Gui_Control_Tile_Scene::on_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    CKV_Gui_Control_Tile_Base::on_message(header, payload);
    if (header.id == kv_msg::SCENE_SETTINGS)
        update();
}
