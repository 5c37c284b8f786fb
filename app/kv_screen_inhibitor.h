#pragma once
// Keeps the screen from blanking while the panel is in front: asks the
// desktop's screen-saver service (org.freedesktop.ScreenSaver on the session
// bus) to inhibit, and releases the request when the panel goes to the
// background, is hidden or the setting is switched off. The calls are
// asynchronous, so the window never waits for the bus.

#include <QDBusConnection>
#include <QObject>
#include <optional>

class QWidget;

class KV_Screen_Inhibitor : public QObject {
    Q_OBJECT
public:
    // Follows `window` (shown, minimised) and the application state.
    explicit KV_Screen_Inhibitor(QWidget* window, const QDBusConnection& bus = QDBusConnection::sessionBus());
    ~KV_Screen_Inhibitor() override;

    // The "stay active" setting.
    void set_enabled(bool enabled);
    // Whether the service holds our request now.
    bool is_inhibiting() const { return m_cookie.has_value(); }

signals:
    void inhibiting_changed(bool inhibiting);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool wanted() const;
    void update();
    void inhibit_answered(const QDBusMessage& reply);

    QWidget* m_window;
    QDBusConnection m_bus;
    bool m_enabled = false;
    bool m_pending = false;
    bool m_missing_told = false;
    std::optional<uint> m_cookie;
};
