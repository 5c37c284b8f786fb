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

CKV_Gui_Control_Popup_Number::CKV_Gui_Control_Popup_Number(const QString& name, const QString& title, double value,
                                                           const Range& range, QWidget* window)
    : QWidget(window)
    , m_range(range)
{
    setObjectName(name);
    auto* panel = new QWidget(this);
    panel->setObjectName(name + QStringLiteral("_panel"));
    panel->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(panel);
    column->addWidget(new QLabel(title, panel), 0, Qt::AlignHCenter);
    auto* entry = new QHBoxLayout;
    m_input = new QLineEdit(panel);
    m_input->setObjectName(name + QStringLiteral("_input"));
    m_input->setReadOnly(true);
    m_input->setAlignment(Qt::AlignRight);
    entry->addWidget(m_input);
    entry->addWidget(new QLabel(range.unit, panel));
    column->addLayout(entry);

    auto* keys = new QGridLayout;
    auto key = [this, panel, keys](const QString& text, int row, int col, auto action) {
        auto* button = new QPushButton(text, panel);
        button->setObjectName(QStringLiteral("kv_key_") + text);
        keys->addWidget(button, row, col);
        connect(button, &QPushButton::clicked, this, action);
    };
    for (int digit = 0; digit <= 9; ++digit)
        key(QString::number(digit), digit == 0 ? 3 : (digit - 1) / 3, digit == 0 ? 1 : (digit - 1) % 3,
            [this, digit] { slot_digit(digit); });
    key(QStringLiteral("-"), 3, 0, [this] { slot_step(-1); });
    key(QStringLiteral("+"), 3, 2, [this] { slot_step(1); });
    key(QStringLiteral("Abbrechen"), 4, 0, [this] { slot_cancel(); });
    key(QStringLiteral("OK"), 4, 2, [this] { slot_ok(); });
    column->addLayout(keys);

    auto* outer = new QVBoxLayout(this);
    outer->addStretch();
    outer->addWidget(panel, 0, Qt::AlignHCenter);
    outer->addStretch();
    show_value(value);
    m_fresh = true;
}

void CKV_Gui_Control_Popup_Number::show_over_window()
{
    setGeometry(parentWidget()->rect());
    show();
    raise();
    m_input->setFocus();
}

double CKV_Gui_Control_Popup_Number::entered() const
{
    return std::clamp(m_input->text().toDouble(), double(m_range.minimum), double(m_range.maximum));
}

void CKV_Gui_Control_Popup_Number::show_value(double value)
{
    m_input->setText(QString::number(std::lround(std::clamp(value, double(m_range.minimum), double(m_range.maximum)))));
    m_fresh = false;
}

void CKV_Gui_Control_Popup_Number::slot_digit(int digit)
{
    const QString text = m_fresh ? QString() : m_input->text();
    // Leading zeros and more digits than the maximum has make no number.
    const QString kept = text == QLatin1String("0") ? QString() : text;
    show_value((kept + QString::number(digit)).left(QString::number(m_range.maximum).size()).toDouble());
}

void CKV_Gui_Control_Popup_Number::slot_step(int direction)
{
    show_value(entered() + direction * m_range.step);
}

void CKV_Gui_Control_Popup_Number::slot_ok()
{
    const double value = entered();
    hide();
    emit accepted(value);
    deleteLater();
}

void CKV_Gui_Control_Popup_Number::slot_cancel()
{
    hide();
    deleteLater();
}

void CKV_Gui_Control_Popup_Number::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor(0, 0, 0, 120));
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
    button->setMinimumSize(48, 48);
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
