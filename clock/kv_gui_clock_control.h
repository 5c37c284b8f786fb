#pragma once
// The clock control: shows its text, the switching time of its clock that
// is due next (time, weekdays or date, value) and a state image by the
// clock's value. A click (or holding, as set) opens the editor of the
// clock's switching times.

#include <QPointer>
#include <QWidget>
#include <string>

#include "kv_clock_model.h"
#include "kv_gui_classic_popup.h"
#include "kv_gui_control.h"

class CKV_Gui_Clock_Time_Form;
class QComboBox;

// The switching times of one clock over the page: a choice of the time,
// its fields, and "OK" to store and send the change.
class CKV_Gui_Clock_Editor : public QWidget {
    Q_OBJECT
public:
    CKV_Gui_Clock_Editor(KV_Visu_Host& host, const std::string& clock_guid, const KV_Clock_Value_Texts& texts,
                         QWidget* page);

    // Shows the clock's times with `index` chosen, covering the page.
    void open(int index);
    QComboBox* time_choice() const { return m_choice; }
    CKV_Gui_Clock_Time_Form* form() const { return m_form; }

signals:
    // The edit was stored in the record and sent.
    void committed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void show_time(int index);
    void accept();

    KV_Visu_Host& m_host;
    std::string m_guid;
    KV_Clock_Value_Texts m_texts;
    QComboBox* m_choice = nullptr;
    CKV_Gui_Clock_Time_Form* m_form = nullptr;
};

class CKV_Gui_Control_App_Uhr : public CKV_Gui_Control {
    Q_OBJECT
public:
    static constexpr int TYPE_CLOCK = 111;
    static constexpr const char* UNLINKED_MESSAGE = "Bedienelement nicht mit vorhandener Uhr verknüpft.";

    CKV_Gui_Control_App_Uhr(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    ~CKV_Gui_Control_App_Uhr() override;

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    // A clock record from the controller replaces the app's copy: re-read.
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload) override;
    void on_press(const QPoint& point) override;
    void on_release(const QPoint& point) override;

    // Views ("Ansicht"): one line beside the state image, text over the
    // time due next, or the image and text only (the times in the editor).
    enum View { HORIZONTAL = 0, COMPACT = 1, POPUP = 2 };
    View view() const;
    // "Editor öffnen": on a short click, or on holding for "Zeit Popup".
    bool opens_on_hold() const { return param_int("Editor öffnen") == 1; }
    // The editor over the page; the message when no clock is linked.
    void open_editor();

    // Re-reads the linked clock and repaints.
    void reload();
    const std::string& clock_guid() const { return m_guid; }
    // What the control shows of the time due next; empty without one.
    QString time_text() const { return m_time; }
    QString when_text() const { return m_when; }
    QString value_text() const { return m_value; }
    QString state_image_name() const;
    CKV_Gui_Clock_Editor* editor() const { return m_editor; }

    // After a confirmed edit of the clock's record: sends it, then every
    // clock control of the host linked to that clock re-reads, `origin`
    // (the edited one) last.
    static void commit(KV_Visu_Host& host, const std::string& clock_guid, CKV_Gui_Control_App_Uhr* origin);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The feedback when there is one, else the value itself.
    int shown_entry() const { return entry_address(1).is_null() ? 0 : 1; }

    std::string m_guid;
    int m_shown = -1;
    QString m_time;
    QString m_when;
    QString m_value;
    double m_state = 0.0;
    QPointer<CKV_Gui_Clock_Editor> m_editor;
    KV_Press_Hold m_hold;
};
