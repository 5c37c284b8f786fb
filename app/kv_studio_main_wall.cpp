// The wall-panel parts of the app window: return to the start page after a
// while without touch, the screen kept on, kiosk mode and their settings.
#include "kv_studio_main_app.h"

#include "kv_app_context.h"
#include "kv_close_popups.h"
#include "kv_dlg_app_settings.h"
#include "kv_dlg_settings.h"
#include "kv_dlg_wall_settings.h"
#include "kv_idle_return.h"
#include "kv_kiosk_guard.h"
#include "kv_screen_inhibitor.h"

#include <QToolButton>

void CKV_Studio_Main_App::build_wall_panel()
{
    m_wall = KV_Wall_Settings::load();
    m_idle = new KV_Idle_Return(this);
    connect(m_idle, &KV_Idle_Return::idle, this, &CKV_Studio_Main_App::goHomePage);
    m_inhibitor = new KV_Screen_Inhibitor(this);
    m_inhibitor->set_enabled(settings().stay_active());
    connect(m_dlg_app_settings, &CKV_Dlg_App_Settings::stay_active_changed, m_inhibitor, &KV_Screen_Inhibitor::set_enabled);
    m_kiosk = new KV_Kiosk_Guard(this, [this] { return m_wall.pin; });
    auto* form = new CKV_Dlg_Wall_Settings(m_wall);
    m_dlg_app_settings->add_group(form);
    connect(form, &CKV_Dlg_Wall_Settings::changed, this, &CKV_Studio_Main_App::apply_wall_settings);
    connect(m_kiosk, &KV_Kiosk_Guard::active_changed, this, [this](bool kiosk) {
        // In kiosk mode neither the menu (it can quit) nor the settings are reachable.
        showMenu(!is_full_screen_app());
        m_btn_settings->setVisible(!kiosk);
        if (kiosk && current_view() == View_Settings)
            goHomePage();
    });
    // Going home (and the idle return) closes what the pages opened.
    connect(this, &CKV_Studio_Main_App::close_overlay, this, [this] { kv_close_popups(this); });
    m_kiosk->set_active(m_wall.kiosk || kv_app().flags.kiosk);
    apply_wall_settings();
}

void CKV_Studio_Main_App::apply_wall_settings()
{
    m_idle->set_minutes(m_wall.idle_return_minutes);
    if (m_wall.kiosk)
        m_kiosk->set_active(true);
}
