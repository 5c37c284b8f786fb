#include "kv_close_popups.h"

#include <QMainWindow>
#include <QMenuBar>

#include "kv_gui_classic_popup.h"
#include "kv_gui_overlay_pin.h"
#include "kv_gui_popup.h"
#include "kv_gui_tile_overlay.h"

void kv_close_popups(QMainWindow* window)
{
    for (auto* pin : window->findChildren<CKV_Gui_Overlay_Pin*>())
        if (pin->isVisible())
            pin->slot_cancel();
    for (auto* keypad : window->findChildren<CKV_Gui_Control_Popup_Number*>())
        if (keypad->isVisible())
            keypad->slot_cancel();
    for (auto* popup : window->findChildren<CKV_Gui_Control_Popup_Container*>())
        if (popup->is_open())
            popup->close_popup();
    for (auto* overlay : window->findChildren<CKV_Gui_Control_Tile_Overlay_Base*>())
        if (overlay->isVisible())
            overlay->set_visible_animated(false);
    // The other popups over the whole window are children of the window
    // itself and close by hiding.
    for (auto* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && child != window->centralWidget() && child != window->menuBar() &&
            !child->inherits("QToolBar") && !child->inherits("QStatusBar") && !child->inherits("QDockWidget"))
            child->hide();
}
