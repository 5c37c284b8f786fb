#pragma once
// When a telegram fires a control's action:
// 0 never (click only), 1 every telegram, 2 rising edge, 3 falling edge.

class KV_Telegram_Trigger {
public:
    enum Mode { CLICK_ONLY = 0, EVERY_TELEGRAM = 1, RISING_EDGE = 2, FALLING_EDGE = 3 };

    void reset(int mode, double current_value)
    {
        m_mode = mode;
        m_last = current_value;
    }

    // Takes the next value; true when it fires the action.
    bool fires(double value)
    {
        const bool was_on = m_last != 0.0;
        const bool is_on = value != 0.0;
        m_last = value;
        switch (m_mode) {
        case EVERY_TELEGRAM:
            return true;
        case RISING_EDGE:
            return !was_on && is_on;
        case FALLING_EDGE:
            return was_on && !is_on;
        default:
            return false;
        }
    }

private:
    int m_mode = CLICK_ONLY;
    double m_last = 0.0;
};
