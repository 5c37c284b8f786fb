#pragma once
// Counts the time since the last touch, click or key anywhere in the app and
// reports when it reaches the set limit; every input starts the count anew.

#include <QObject>
#include <QTimer>

class KV_Idle_Return : public QObject {
    Q_OBJECT
public:
    explicit KV_Idle_Return(QObject* parent = nullptr);
    ~KV_Idle_Return() override;

    // 0 switches the return off.
    void set_minutes(int minutes) { set_limit_ms(minutes * 60 * 1000); }
    // The same in milliseconds, for tests.
    void set_limit_ms(int ms);
    bool is_counting() const { return m_timer.isActive(); }

signals:
    void idle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer m_timer;
};
