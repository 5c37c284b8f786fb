#include "kv_gui_classic_popup.h"

#include <QHBoxLayout>

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "kv_touch.h"

KV_Press_Hold::KV_Press_Hold(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_fired = true;
        emit held();
    });
}

void KV_Press_Hold::start(double seconds)
{
    m_fired = false;
    // A time of 0 would open the popup on every tap; such controls open it
    // only by their view.
    if (seconds > 0)
        m_timer.start(int(std::lround(seconds * 1000)));
}

CKV_Gui_Control_Popup_Percent::CKV_Gui_Control_Popup_Percent(const QString& title, double value, double step,
                                                             QWidget* window)
    : CKV_Gui_Control_Popup_Number(QStringLiteral("kv_popup_percent"), title, value,
                                   {0, 100, step > 0 ? step : 10.0, QStringLiteral("prozent")}, window)
{
}

// ---------------------------------------------------------------- panel

CKV_Gui_Control_Popup_Panel::CKV_Gui_Control_Popup_Panel(QWidget* window)
    : QWidget(window)
    , m_panel(new QWidget(this))
{
    m_panel->setAutoFillBackground(true);
}

void CKV_Gui_Control_Popup_Panel::show_over_window()
{
    setGeometry(parentWidget()->rect());
    center_panel();
    show();
    raise();
}

QPushButton* CKV_Gui_Control_Popup_Panel::add_button(QWidget* parent, const QString& name, const QString& text,
                                                     bool checkable)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setMinimumSize(KV_FINGER_PX, KV_FINGER_PX);
    button->setCheckable(checkable);
    return button;
}

QVBoxLayout* CKV_Gui_Control_Popup_Panel::add_title_column(const QString& title, const QString& prefix)
{
    auto* column = new QVBoxLayout(m_panel);
    column->setContentsMargins(16, 12, 16, 16);
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(title, m_panel), 1);
    QPushButton* close = add_button(m_panel, prefix + QStringLiteral("_close"), QStringLiteral("×"));
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    head->addWidget(close);
    column->addLayout(head);
    return column;
}

void CKV_Gui_Control_Popup_Panel::center_panel()
{
    m_panel->adjustSize();
    m_panel->move((width() - m_panel->width()) / 2, (height() - m_panel->height()) / 2);
}

void CKV_Gui_Control_Popup_Panel::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor(0, 0, 0, 110));
}

void CKV_Gui_Control_Popup_Panel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void CKV_Gui_Control_Popup_Panel::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_panel->geometry().contains(event->position().toPoint()))
        hide();
}
