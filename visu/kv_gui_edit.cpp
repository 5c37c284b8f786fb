#include "kv_gui_edit.h"

#include <QDoubleValidator>
#include <QLineEdit>
#include <QPainter>
#include <algorithm>

namespace {
const QString kNoVariable = QStringLiteral("Keine Variable verknüpft!");
}

CKV_Gui_Control_Edit::CKV_Gui_Control_Edit(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
    : CKV_Gui_Control(canvas, record)
{
    m_editor = new QLineEdit(this);
    m_editor->setAlignment(Qt::AlignCenter);
    m_editor->setValidator(new QDoubleValidator(m_editor));
    m_editor->hide();
    connect(m_editor, &QLineEdit::editingFinished, this, &CKV_Gui_Control_Edit::slot_editing_finished);
}

void CKV_Gui_Control_Edit::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_minimum = param_double("Minimum");
    m_maximum = param_double("Maximum");
    m_step = param_double("Schrittweite");
    m_buttons = param_int("Buttons anzeigen") != 0;
    m_text_percent = std::clamp(param_int("Breite Text"), 10, 100);
    m_format = param("Format");
    m_factor = param_double("Faktor");
    m_offset = param_double("Offset");
    m_editor->setFont(text_font());
    m_editor->setGeometry(text_area());
    reformat();
}

QString CKV_Gui_Control_Edit::shown_text() const
{
    return entry_address(0).is_null() ? kNoVariable : m_text;
}

void CKV_Gui_Control_Edit::reformat()
{
    m_text = format_value(*this, 0, m_format, m_factor, m_offset);
    update();
}

void CKV_Gui_Control_Edit::on_value(const KV_Addr_Db&, int entry, double)
{
    if (entry == 0)
        reformat();
}

QRect CKV_Gui_Control_Edit::text_area() const
{
    if (!m_buttons)
        return rect();
    const int text_width = width() * m_text_percent / 100;
    return QRect((width() - text_width) / 2, 0, text_width, height());
}

void CKV_Gui_Control_Edit::submit(double value)
{
    value = std::clamp(value, std::min(m_minimum, m_maximum), std::max(m_minimum, m_maximum));
    if (write_value(0, value))
        reformat();
}

void CKV_Gui_Control_Edit::on_release(const QPoint& point)
{
    if (entry_address(0).is_null())
        return;
    const QRect text = text_area();
    if (m_buttons && point.x() < text.left()) {
        submit(entry_value(0) - m_step);
    } else if (m_buttons && point.x() > text.right()) {
        submit(entry_value(0) + m_step);
    } else {
        m_editor->setText(QString::number(entry_value(0)));
        m_editor->show();
        m_editor->selectAll();
        m_editor->setFocus();
    }
}

void CKV_Gui_Control_Edit::slot_editing_finished()
{
    if (!m_editor->isVisible())
        return;
    m_editor->hide();
    bool ok = false;
    const double value = QLocale::c().toDouble(m_editor->text().replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    if (ok)
        submit(value);
}

void CKV_Gui_Control_Edit::resizeEvent(QResizeEvent* event)
{
    CKV_Gui_Control::resizeEvent(event);
    m_editor->setGeometry(text_area());
}

void CKV_Gui_Control_Edit::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QRect text = text_area();
    painter.setPen(QPen(or_default(bordercolor(), btncolorslideroff()), std::max(1, borderwidth())));
    painter.setBrush(or_default(backgroundcolor(), Qt::white));
    painter.drawRoundedRect(QRectF(text).adjusted(0.5, 0.5, -0.5, -0.5), borderradius(), borderradius());
    painter.setFont(text_font());
    painter.setPen(static_text_color());
    painter.drawText(text, Qt::AlignCenter, shown_text());
    if (!m_buttons)
        return;
    const QRect minus(0, 0, text.left() - 2, height());
    const QRect plus(text.right() + 3, 0, width() - text.right() - 3, height());
    for (const auto& [box, label] : {std::pair{minus, QStringLiteral("−")}, std::pair{plus, QStringLiteral("+")}}) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(or_default(btncolorface(), btncolorswitchon()));
        painter.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), borderradius(), borderradius());
        painter.setPen(or_default(btncolortext(), Qt::white));
        painter.drawText(box, Qt::AlignCenter, label);
    }
}
