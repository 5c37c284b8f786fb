#pragma once
// The classic room controller: shows room temperature, set point and
// operating mode of a room controller; a tap opens its popup, which steps the
// current mode's set point and chooses the mode.

#include <QPointer>
#include <QWidget>
#include <functional>

#include "kv_climate.h"
#include "kv_gui_classic_popup.h"
#include "kv_gui_control.h"

class QHBoxLayout;
class QPushButton;

// The four mode buttons of the climate popups, named `prefix` + "_mode_" and
// the mode number, each handing its mode to `choose`.
QHBoxLayout* kv_climate_mode_row(QWidget* box, const QString& prefix, QPushButton* (&buttons)[4],
                                 const std::function<void(int)>& choose);

class QLabel;
class CKV_Gui_Control_App_Raumr_Popup;

class CKV_Gui_Control_App_Raumr : public CKV_Gui_Control {
    Q_OBJECT
public:
    enum View { HORIZONTAL = 0, COMPACT = 1 };

    CKV_Gui_Control_App_Raumr(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    ~CKV_Gui_Control_App_Raumr() override;

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;

    const KV_Climate_Values& values() const { return m_values; }
    CKV_Gui_Control_App_Raumr_Popup* popup() const { return m_popup; }
    void open_popup();

    // The popup's operations: write at once. One "Minimum"/"Maximum" pair
    // holds for every mode.
    void step_set_point(int steps);
    void choose_mode(int mode);

signals:
    void values_changed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    KV_Climate_Values m_values;
    QPointer<CKV_Gui_Control_App_Raumr_Popup> m_popup;
};

class CKV_Gui_Control_App_Raumr_Popup : public CKV_Gui_Control_Popup_Panel {
    Q_OBJECT
public:
    // Covers `window`; the panel in its middle holds the controls.
    CKV_Gui_Control_App_Raumr_Popup(CKV_Gui_Control_App_Raumr& control, QWidget* window);

    void refresh();
    // Heating and cooling pictures as shown now.
    QString heating_image() const { return m_heating_image; }
    QString cooling_image() const { return m_cooling_image; }

private:
    CKV_Gui_Control_App_Raumr& m_control;
    QLabel* m_set_point = nullptr;
    QLabel* m_feedback = nullptr;
    QLabel* m_heating = nullptr;
    QLabel* m_cooling = nullptr;
    QPushButton* m_modes[4] = {};
    QString m_heating_image;
    QString m_cooling_image;
};
