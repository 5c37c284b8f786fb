#pragma once
// The clock tile and its overlays: the tile shows whether its clock runs
// and the state of its value; holding (or tapping) it slides in the list of
// the clock's switching times, and a time of that list opens its editor.

#include <QPointer>
#include <memory>
#include <string>

#include "kv_clock_model.h"
#include "kv_gui_tile_base.h"
#include "kv_gui_tile_overlay.h"

class CKV_Gui_Clock_Time_Form;
class QLabel;
class QPushButton;
class QVBoxLayout;

// Edits one switching time; "Fertig" stores and sends it and closes.
class CKV_Gui_Overlay_Shift_Time_Edit : public CKV_Gui_Control_Tile_Overlay_Base {
    Q_OBJECT
public:
    CKV_Gui_Overlay_Shift_Time_Edit(KV_Visu_Host& host, const std::string& clock_guid,
                                    const KV_Clock_Value_Texts& texts, QWidget* page);

    // Slides in with time `index` of the clock.
    void edit(int index);
    int index() const { return m_index; }
    CKV_Gui_Clock_Time_Form* form() const { return m_form; }
    QPushButton* done_button() const { return m_done; }

signals:
    void committed();

private:
    void finish();

    KV_Visu_Host& m_host;
    std::string m_guid;
    KV_Clock_Value_Texts m_texts;
    int m_index = -1;
    QLabel* m_title = nullptr;
    CKV_Gui_Clock_Time_Form* m_form = nullptr;
    QPushButton* m_done = nullptr;
};

// The switching times of the tile's clock, one button each, and the button
// that adds one.
class CKV_Gui_Control_App_Overlay_Timer : public CKV_Gui_Control_Tile_Overlay_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Overlay_Timer(KV_Visu_Host& host, const std::string& clock_guid,
                                      const KV_Clock_Value_Texts& texts, QWidget* page);

    // Opening shows the record as it is now.
    void set_visible_animated(bool visible) override;
    // Rebuilds the list from the clock record.
    void refresh();
    // Appends "Schaltzeit <count + 1>" to the clock and sends the record.
    void add_time();

    QStringList row_texts() const;
    QList<QPushButton*> rows() const;
    QLabel* empty_label() const { return m_empty; }
    QPushButton* add_button() const { return m_add; }
    CKV_Gui_Overlay_Shift_Time_Edit* editor() const { return m_editor; }

private:
    KV_Visu_Host& m_host;
    std::string m_guid;
    QWidget* m_list = nullptr;
    QVBoxLayout* m_list_layout = nullptr;
    QLabel* m_empty = nullptr;
    QPushButton* m_add = nullptr;
    CKV_Gui_Overlay_Shift_Time_Edit* m_editor = nullptr;
};

class CKV_Gui_Control_Tile_Clock : public CKV_Gui_Control_Tile_Touch_Base {
    Q_OBJECT
public:
    using CKV_Gui_Control_Tile_Touch_Base::CKV_Gui_Control_Tile_Touch_Base;

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    // Off while the clock is missing or switched off.
    bool is_off() const override;

    const std::string& clock_guid() const { return m_guid; }

protected:
    QString state_text() const override;
    std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> create_overlay() override;

private:
    int shown_entry() const { return entry_address(1).is_null() ? 0 : 1; }

    std::string m_guid;
    double m_current = 0.0;
};
