#include "kv_gui_image.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "kv_gui_choice.h"
#include "kv_trace.h"
#include "kv_visu_host.h"

Qt::Alignment kv_horizontal_alignment(int choice)
{
    switch (choice) {
    case 0:
        return Qt::AlignLeft;
    case 2:
        return Qt::AlignRight;
    default:
        return Qt::AlignHCenter;
    }
}

void kv_draw_image_placeholder(QPainter& painter, const QRect& box)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor line(0x9E, 0x9E, 0x9E);
    painter.setPen(QPen(line, 1));
    painter.setBrush(Qt::NoBrush);
    const QRectF frame = QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.drawRect(frame);
    // A small picture (mountain and sun) crossed out, centred.
    const qreal side = std::min(frame.width(), frame.height()) * 0.5;
    if (side >= 8) {
        const QRectF symbol(frame.center().x() - side / 2, frame.center().y() - side / 2, side, side);
        painter.drawRect(symbol);
        QPainterPath hills;
        hills.moveTo(symbol.left(), symbol.bottom());
        hills.lineTo(symbol.left() + side * 0.35, symbol.top() + side * 0.45);
        hills.lineTo(symbol.left() + side * 0.6, symbol.top() + side * 0.7);
        hills.lineTo(symbol.left() + side * 0.75, symbol.top() + side * 0.55);
        hills.lineTo(symbol.right(), symbol.bottom());
        painter.drawPath(hills);
        painter.drawEllipse(QPointF(symbol.left() + side * 0.72, symbol.top() + side * 0.25), side * 0.08, side * 0.08);
        painter.drawLine(symbol.topLeft(), symbol.bottomRight());
        painter.drawLine(symbol.topRight(), symbol.bottomLeft());
    }
    painter.restore();
}

void kv_draw_image(QPainter& painter, const QRect& box, const QPixmap& image, bool proportional,
                   Qt::Alignment alignment)
{
    if (box.isEmpty())
        return;
    if (image.isNull()) {
        kv_draw_image_placeholder(painter, box);
        return;
    }
    if (!proportional) {
        painter.drawPixmap(box, image);
        return;
    }
    const QSize size = image.size().scaled(box.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    if (alignment & Qt::AlignLeft)
        target.moveLeft(box.left());
    else if (alignment & Qt::AlignRight)
        target.moveRight(box.right());
    else
        target.moveLeft(box.left() + (box.width() - size.width()) / 2);
    target.moveTop(box.top() + (box.height() - size.height()) / 2);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, image);
}

// ---- Base ----

QPixmap CKV_Gui_Control_Image_Base::current_image() const
{
    return host().image(image_name());
}

void CKV_Gui_Control_Image_Base::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setOpacity(opacity());
    if (backgroundcolor().isValid() && backgroundcolor().alpha() > 0)
        painter.fillRect(rect(), backgroundcolor());
    QRect image_box = rect();
    const QString text = caption();
    if (!text.isEmpty()) {
        painter.setFont(text_font());
        const int line = painter.fontMetrics().height();
        const QRect text_box(0, height() - line, width(), line);
        image_box.setBottom(text_box.top() - 1);
        painter.setPen(or_default(btncolortext(), static_text_color()));
        painter.drawText(text_box.translated(record().m_text_offs_x, record().m_text_offs_y), Qt::AlignCenter, text);
    }
    // No image configured: only the text; a configured one that is missing
    // shows the placeholder.
    if (!image_name().isEmpty())
        kv_draw_image(painter, image_box, current_image(), m_proportional, m_alignment);
}

// ---- Static image ----

void CKV_Gui_Control_Image::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_image = param("Grafik");
    m_text = text_param("Text");
    m_proportional = param_int("Proportional") != 0;
    m_alignment = kv_horizontal_alignment(param_int("Ausrichtung")) | Qt::AlignVCenter;
    update();
}

// ---- On/off image ----

void CKV_Gui_Control_Image_OnOff::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_image_on = param("Grafik EIN");
    m_image_off = param("Grafik AUS");
    m_text_on = text_param("Text EIN");
    m_text_off = text_param("Text AUS");
    m_page_guid = param("Seite").toStdString();
    const double value = entry_value(0);
    m_on = value != 0.0;
    m_page_trigger.reset(param_int("Auto Seitenwechsel"), value);
    update();
}

void CKV_Gui_Control_Image_OnOff::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry != 0)
        return;
    m_on = value != 0.0;
    update();
    if (m_page_trigger.fires(value) && !m_page_guid.empty())
        host().goPage(m_page_guid);
}

void CKV_Gui_Control_Image_OnOff::on_release(const QPoint&)
{
    host().goPage(m_page_guid);
}

// ---- Animated GIF ----

CKV_Gui_Control_Image_Gif::CKV_Gui_Control_Image_Gif(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
    : CKV_Gui_Control_Image_Base(canvas, record)
{
}

CKV_Gui_Control_Image_Gif::~CKV_Gui_Control_Image_Gif()
{
    m_movie.reset(); // before the buffer it reads from
}

void CKV_Gui_Control_Image_Gif::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_proportional = true;
    m_by_value = param_int("Start/Stop") != 0;
    const QString name = param("Grafik");
    if (name != m_image || !m_movie) {
        m_image = name;
        m_movie.reset();
        m_buffer.close();
        m_bytes = name.isEmpty() ? QByteArray() : host().file_data(name);
        if (!m_bytes.isEmpty()) {
            m_buffer.setData(m_bytes);
            m_buffer.open(QIODevice::ReadOnly);
            m_movie = std::make_unique<QMovie>(&m_buffer);
            m_movie->setCacheMode(QMovie::CacheAll);
            connect(m_movie.get(), &QMovie::frameChanged, this, [this] { update(); });
        }
        if (!name.isEmpty() && !is_valid())
            TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "GIF NOT READABLE: %s\n", qPrintable(name));
    }
    if (m_movie) {
        const int percent = param_int("Geschwindigkeit %");
        m_movie->setSpeed(percent > 0 ? percent : 100);
    }
    follow(m_by_value ? entry_value(0) : 1.0);
}

void CKV_Gui_Control_Image_Gif::follow(double value)
{
    if (!is_valid())
        return;
    if (value != 0.0) {
        if (m_movie->state() == QMovie::NotRunning)
            m_movie->start();
        else
            m_movie->setPaused(false);
    } else if (m_movie->state() != QMovie::NotRunning) {
        m_movie->stop();
        m_movie->jumpToFrame(0);
    } else {
        m_movie->jumpToFrame(0);
    }
    update();
}

void CKV_Gui_Control_Image_Gif::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry == 0 && m_by_value)
        follow(value);
}

bool CKV_Gui_Control_Image_Gif::is_running() const
{
    return m_movie && m_movie->state() == QMovie::Running;
}

QPixmap CKV_Gui_Control_Image_Gif::current_image() const
{
    return is_valid() ? m_movie->currentPixmap() : QPixmap();
}

// ---- Image by value ----

CKV_Gui_Control_Image_Value::CKV_Gui_Control_Image_Value(CKV_Gui_Control_Container* canvas,
                                                         const KV_GUI_Control& record)
    : CKV_Gui_Control_Image_Base(canvas, record)
{
    connect(&m_blink, &QTimer::timeout, this, &CKV_Gui_Control_Image_Value::slot_blink);
}

void CKV_Gui_Control_Image_Value::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_default = param("Standard Grafik");
    const int period_ms = param_int("Taktzeit");
    m_blink_ms = period_ms > 0 ? std::max(100, period_ms) : 0;
    m_choices.clear();
    for (int i = 1; i <= ENTRY_COUNT; ++i) {
        const QByteArray value_label = QStringLiteral("%1: Wert").arg(i).toUtf8();
        const QByteArray image_label = QStringLiteral("%1: Grafik").arg(i).toUtf8();
        if (param(value_label.constData()).trimmed().isEmpty())
            continue; // unused row
        m_choices.push_back({param_double(value_label.constData()), param(image_label.constData())});
    }
    choose(entry_value(0));
}

void CKV_Gui_Control_Image_Value::choose(double value)
{
    const Choice* chosen = kv_row_for_value(m_choices, value);
    m_chosen = chosen ? chosen->image : m_default;
    m_blink_off = false;
    if (m_blink_ms > 0 && m_chosen != m_default)
        m_blink.start(m_blink_ms);
    else
        m_blink.stop();
    update();
}

void CKV_Gui_Control_Image_Value::slot_blink()
{
    m_blink_off = !m_blink_off;
    update();
}

void CKV_Gui_Control_Image_Value::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry == 0)
        choose(value);
}
