#pragma once
// The alarm display: the state of every alarm logic block of the project,
// as counts and a list or as one compact line.

#include <vector>

#include "kv_gui_control.h"

// Block type of the controller's alarm block; its input 0 carries the alarm,
// its parameter "Text" the message.
constexpr int KV_LOGIC_TYPE_ALARM = 810;

class CKV_Gui_Control_Alarmanzeige : public CKV_Gui_Control {
    Q_OBJECT
public:
    bool operable() const override { return false; }
    enum State { NO_ALARM = 0, WAS_PENDING = 1, PENDING = 2 };
    struct Alarm {
        QString text;
        State state = NO_ALARM;
    };

    CKV_Gui_Control_Alarmanzeige(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;

    const std::vector<Alarm>& alarms() const { return m_alarms; }
    int count(State state) const;
    // "Alarm anstehend", "Alarm war anstehend" or "Kein Alarm": the worst state.
    static QString state_text(State state);
    State worst_state() const;
    bool compact() const { return m_compact; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void take(size_t index, double value);

    std::vector<Alarm> m_alarms;
    bool m_show_counts = true;
    bool m_compact = false;
};
