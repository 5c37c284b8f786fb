#include "kv_idle_return.h"

#include <QCoreApplication>
#include <QEvent>

KV_Idle_Return::KV_Idle_Return(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &KV_Idle_Return::idle);
}

KV_Idle_Return::~KV_Idle_Return()
{
    set_limit_ms(0);
}

void KV_Idle_Return::set_limit_ms(int ms)
{
    if (ms > 0) {
        if (m_timer.interval() != ms || !m_timer.isActive())
            m_timer.start(ms);
        qApp->installEventFilter(this);
    } else {
        m_timer.stop();
        qApp->removeEventFilter(this);
    }
}

bool KV_Idle_Return::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        // Input reaches several objects on its way (window, widget): the
        // count restarts all the same. After a return it waits for the next
        // input before counting again.
        m_timer.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
