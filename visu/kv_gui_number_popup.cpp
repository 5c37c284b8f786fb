#include "kv_gui_number_popup.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
// Keys of at least finger size.
constexpr int KEY_SIZE = 64;
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
        button->setMinimumSize(KEY_SIZE, KEY_SIZE);
        keys->addWidget(button, row, col);
        connect(button, &QPushButton::clicked, this, action);
    };
    for (int digit = 0; digit <= 9; ++digit)
        key(QString::number(digit), digit == 0 ? 3 : (digit - 1) / 3, digit == 0 ? 1 : (digit - 1) % 3,
            [this, digit] { slot_digit(digit); });
    key(QStringLiteral("-"), 3, 0, [this] { slot_step(-1); });
    key(QStringLiteral("+"), 3, 2, [this] { slot_step(1); });
    if (m_range.minimum < 0)
        key(QStringLiteral("±"), 4, 0, [this] { slot_sign(); });
    if (m_range.decimals > 0)
        key(QStringLiteral(","), 4, 2, [this] { slot_comma(); });
    key(QStringLiteral("Abbrechen"), 5, 0, [this] { slot_cancel(); });
    key(QStringLiteral("OK"), 5, 2, [this] { slot_ok(); });
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
    QString text = m_input->text();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    return std::clamp(text.toDouble(), m_range.minimum, m_range.maximum);
}

void CKV_Gui_Control_Popup_Number::show_value(double value)
{
    const double kept = std::clamp(value, m_range.minimum, m_range.maximum);
    show_text(QString::number(kept, 'f', m_range.decimals).replace(QLatin1Char('.'), QLatin1Char(',')));
}

void CKV_Gui_Control_Popup_Number::show_text(const QString& text)
{
    m_input->setText(text);
    m_fresh = false;
}

void CKV_Gui_Control_Popup_Number::slot_digit(int digit)
{
    QString text = m_fresh ? QString() : m_input->text();
    if (text == QLatin1String("0") || text == QLatin1String("-0"))
        text.chop(1); // no leading zeros
    const int comma = text.indexOf(QLatin1Char(','));
    // No more whole digits than the limits have, no more decimals than wanted.
    const int whole_digits = int(QString::number(std::lround(std::max(std::abs(m_range.minimum),
                                                                      std::abs(m_range.maximum)))).size());
    if (comma >= 0 ? text.size() - comma - 1 >= m_range.decimals
                   : text.size() - text.startsWith(QLatin1Char('-')) >= whole_digits) {
        m_fresh = false;
        return;
    }
    show_text(text + QString::number(digit));
}

void CKV_Gui_Control_Popup_Number::slot_comma()
{
    const QString text = m_fresh ? QStringLiteral("0") : m_input->text();
    if (m_range.decimals > 0 && !text.contains(QLatin1Char(',')))
        show_text(text + QLatin1Char(','));
}

void CKV_Gui_Control_Popup_Number::slot_sign()
{
    const QString text = m_fresh ? QStringLiteral("0") : m_input->text();
    show_text(text.startsWith(QLatin1Char('-')) ? text.mid(1) : QLatin1Char('-') + text);
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
