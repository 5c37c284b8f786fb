#pragma once
// The classic heating circuit control: shows flow, outside and room
// temperature, operating mode and pump of a heating circuit; a tap on a live
// page opens its popup, which chooses the mode (and manual or automatic
// operation of a linked logic block), steps the comfort and frost set points,
// sends the curve and parallel-shift steps and opens the block's heating
// program ("Zeit").

#include <QPointer>
#include <QStringList>
#include <array>
#include <functional>

#include "kv_climate.h"
#include "kv_climate_settings.h"
#include "kv_gui_classic_popup.h"
#include "kv_gui_control.h"

class QGridLayout;
class QLabel;
class QPushButton;
class CKV_Gui_Control_App_Heizkreis_Popup;

// Address slots of a heating circuit beyond mode and set points (0 to 4).
enum KV_Heizkreis_Slot {
    KV_HEIZKREIS_FLOW = 5,
    KV_HEIZKREIS_OUTSIDE = 6,
    KV_HEIZKREIS_ROOM = 7,
    KV_HEIZKREIS_HEATING_CURVE = 11,
    KV_HEIZKREIS_HEATING_SHIFT = 12,
    KV_HEIZKREIS_COOLING_CURVE = 13,
    KV_HEIZKREIS_COOLING_SHIFT = 14,
    KV_HEIZKREIS_PUMP = 18,
    KV_HEIZKREIS_SLOTS = 22,
};

class CKV_Gui_Control_App_Heizkreis : public CKV_Gui_Control {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Heizkreis(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    ~CKV_Gui_Control_App_Heizkreis() override;

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload) override;

    // Mode and set points (shown, scaled back from the received values).
    const KV_Climate_Values& values() const { return m_values; }
    // The value last received for a slot as it came.
    double value(int slot) const { return m_raw[size_t(slot)]; }
    // Title, then flow, outside and room temperature, mode and pump as shown.
    QStringList lines() const;

    CKV_Gui_Control_App_Heizkreis_Popup* popup() const { return m_popup; }
    void open_popup();

    // The popup's operations: write at once. One "Minimum"/"Maximum" pair
    // holds for both set points.
    void step_comfort(int steps);
    bool frost_changeable() const { return param_int("Soll Frost änderbar") == 1; }
    // Nothing while the frost set point is not changeable.
    void step_frost(int steps);
    void choose_mode(int mode);
    // Curve and parallel shift: one step up (+1) or down (-1) on its slot.
    void adjust(int slot, int direction);
    // Linked logic block only.
    CTRL_Settings_Heizkreis* settings() const { return m_link.settings(); }
    void set_manual(bool manual);
    // "Zeit": the block's heating program slides in over the page.
    void open_times();
    CKV_Gui_Control_App_Overlay_Timer* times() const { return m_times; }

signals:
    void values_changed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void step(int mode, int steps);
    void changed();

    KV_Climate_Values m_values;
    KV_Climate_Link m_link;
    std::array<double, KV_HEIZKREIS_SLOTS> m_raw{};
    QPointer<CKV_Gui_Control_App_Heizkreis_Popup> m_popup;
    QPointer<CKV_Gui_Control_App_Overlay_Timer> m_times;
};

class CKV_Gui_Control_App_Heizkreis_Popup : public CKV_Gui_Control_Popup_Panel {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Heizkreis_Popup(CKV_Gui_Control_App_Heizkreis& control, QWidget* window);

    void refresh();

private:
    QLabel* add_stepper(QGridLayout* grid, int row, const QString& title, const QString& name,
                        const std::function<void(int)>& step);

    CKV_Gui_Control_App_Heizkreis& m_control;
    QLabel* m_comfort = nullptr;
    QLabel* m_frost = nullptr;
    QPushButton* m_modes[4] = {};
    QPushButton* m_manual = nullptr;
    QPushButton* m_automatic = nullptr;
};
