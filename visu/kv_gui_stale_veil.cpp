#include "kv_gui_stale_veil.h"

#include <QEvent>

KV_Gui_Stale_Veil::KV_Gui_Stale_Veil(QWidget* control)
    : QWidget(control)
{
    setObjectName(QStringLiteral("kv_stale_veil"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_StyledBackground);
    setGeometry(control->rect());
    control->installEventFilter(this);
    show();
    raise();
}

bool KV_Gui_Stale_Veil::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
        setGeometry(static_cast<QWidget*>(watched)->rect());
        break;
    case QEvent::ChildAdded:
    case QEvent::Show:
        // Children the control adds later would cover the veil.
        raise();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
