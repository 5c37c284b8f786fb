#include "kv_gui_weather.h"

#include <QLocale>
#include <QPainter>
#include <QPixmap>

#include "kv_gui_container.h"
#include "kv_gui_gauge.h"
#include "kv_logic.h"
#include "kv_visu_host.h"

namespace {
QString two_digits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString time_text(const QDateTime& time)
{
    return QStringLiteral("%1:%2").arg(two_digits(time.time().hour()), two_digits(time.time().minute()));
}

QString date_text(const QDateTime& time)
{
    return QStringLiteral("%1.%2.%3 %4:%5")
        .arg(two_digits(time.date().day()), two_digits(time.date().month()))
        .arg(time.date().year())
        .arg(two_digits(time.time().hour()), two_digits(time.time().minute()));
}

QString km_h(double value)
{
    return QStringLiteral("%1 km/h").arg(qRound(value));
}

QString percent(double value)
{
    return QStringLiteral("%1 %").arg(qRound(value));
}

QString degrees(double value)
{
    return QStringLiteral("%1 °C").arg(value, 0, 'f', 1);
}

void draw_image(QPainter& painter, const QRectF& box, const QString& name)
{
    const QPixmap pixmap(name);
    if (pixmap.isNull())
        return;
    const QSizeF size = pixmap.size().scaled(box.size().toSize(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRectF(box.center() - QPointF(size.width() / 2, size.height() / 2), size), pixmap,
                       pixmap.rect());
}
} // namespace

// ---------------------------------------------------------------- station

void CKV_Gui_Control_App_WS_Anzeige::on_value(const KV_Addr_Db&, int, double)
{
    update();
}

QString CKV_Gui_Control_App_WS_Anzeige::temperature_text() const
{
    return degrees(entry_value(TEMPERATURE));
}

double CKV_Gui_Control_App_WS_Anzeige::temperature_fraction() const
{
    return kv_gauge_fraction(entry_value(TEMPERATURE), param_double("Skal. Temp. Min"),
                             param_double("Skal. Temp. Max"));
}

QString CKV_Gui_Control_App_WS_Anzeige::brightness_text() const
{
    return QStringLiteral("%1 Lux").arg(qRound64(entry_value(BRIGHTNESS)));
}

QString CKV_Gui_Control_App_WS_Anzeige::sun_image_name() const
{
    return entry_value(BRIGHTNESS) >= SUNNY_LUX ? QStringLiteral(":/images/icons/beschattung_sonne_gelb.png")
                                                : QStringLiteral(":/images/icons/beschattung_sonne_grau.png");
}

QString CKV_Gui_Control_App_WS_Anzeige::wind_text() const
{
    return km_h(entry_value(WIND));
}

double CKV_Gui_Control_App_WS_Anzeige::wind_fraction() const
{
    return kv_gauge_fraction(entry_value(WIND), 0.0, param_double("Skal. Wind. Max"));
}

QString CKV_Gui_Control_App_WS_Anzeige::rain_text() const
{
    return entry_value(RAIN) != 0.0 ? QStringLiteral("Regen") : QStringLiteral("kein Regen");
}

QString CKV_Gui_Control_App_WS_Anzeige::rain_image_name() const
{
    return entry_value(RAIN) != 0.0 ? QStringLiteral(":/images/icons/ws_regen_dunkel.png")
                                    : QStringLiteral(":/images/icons/ws_kein_regen.png");
}

void CKV_Gui_Control_App_WS_Anzeige::paint_bar(QPainter& painter, const QRectF& box, double fraction) const
{
    const qreal radius = box.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(btncolorslideroff());
    painter.drawRoundedRect(box, radius, radius);
    painter.setBrush(btncolorswitchon());
    painter.drawRoundedRect(QRectF(box.topLeft(), QSizeF(box.width() * fraction, box.height())), radius, radius);
}

void CKV_Gui_Control_App_WS_Anzeige::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setPen(border_pen());
    painter.setBrush(or_default(backgroundcolor(), Qt::transparent));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());

    const QColor text = or_default(btncolortext(), static_text_color());
    painter.setFont(text_font());
    const qreal row = height() / 5.0;
    const qreal icon = row * 0.8;
    const qreal left = 8 + icon + 8;
    const qreal value_w = width() * 0.3;
    const qreal bar_w = std::max(0.0, width() - left - value_w - 16);
    painter.setPen(text);
    painter.drawText(QRectF(8, 0, width() - 16, row), Qt::AlignLeft | Qt::AlignVCenter, text_param("Text"));

    // Rows: temperature and wind as bars on their scales, brightness and
    // rain as images; "Werte" shows the values only.
    const auto row_box = [&](int i) { return QRectF(0, row * (i + 1), width(), row); };
    if (param_int("Darstellung") == VALUES_ONLY) {
        const QString names[] = {tr("Temperatur"), tr("Helligkeit"), tr("Wind"), tr("Regen")};
        const QString values[] = {temperature_text(), brightness_text(), wind_text(), rain_text()};
        for (int i = 0; i < 4; ++i) {
            painter.drawText(row_box(i).adjusted(8, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter, names[i]);
            painter.drawText(row_box(i).adjusted(8, 0, -8, 0), Qt::AlignRight | Qt::AlignVCenter, values[i]);
        }
        return;
    }
    const auto value = [&](int i, const QString& value_text) {
        painter.setPen(text);
        painter.drawText(QRectF(width() - value_w - 8, row_box(i).top(), value_w, row), Qt::AlignRight | Qt::AlignVCenter,
                         value_text);
    };
    const auto bar = [&](int i, double fraction) {
        const QRectF r = row_box(i);
        paint_bar(painter, QRectF(left, r.center().y() - row * 0.12, bar_w, row * 0.24), fraction);
    };
    const auto image = [&](int i, const QString& name) {
        draw_image(painter, QRectF(8, row_box(i).top() + (row - icon) / 2, icon, icon), name);
    };
    bar(0, temperature_fraction());
    value(0, temperature_text());
    image(1, sun_image_name());
    value(1, brightness_text());
    bar(2, wind_fraction());
    value(2, wind_text());
    image(3, rain_image_name());
    value(3, rain_text());
}

QString kv_weather_image_name(const std::string& code)
{
    const QString name = QStringLiteral(":/images/icons/ow_%1.png").arg(QString::fromStdString(code));
    return QPixmap(name).isNull() ? QStringLiteral(":/images/icons/ow_09d.png") : name;
}

// ---------------------------------------------------------------- online weather

CKV_Gui_Control_App_Open_Weather::~CKV_Gui_Control_App_Open_Weather() = default;

const KV_LOGIC_Control* CKV_Gui_Control_App_Open_Weather::block() const
{
    return host().find_logic_block(param("ID").toStdString());
}

void CKV_Gui_Control_App_Open_Weather::apply_record()
{
    CKV_Gui_Control::apply_record();
    read_block();
}

void CKV_Gui_Control_App_Open_Weather::on_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    CKV_Gui_Control::on_message(header, payload);
    const std::string guid = KV_Visu_Host::changed_block_guid(header, payload);
    if (!guid.empty() && guid == param("ID").toStdString())
        read_block();
}

void CKV_Gui_Control_App_Open_Weather::read_block()
{
    m_current = {};
    m_forecast = {};
    if (const KV_LOGIC_Control* linked = block()) {
        for (const KV_LOGIC_Param& p : linked->m_list_param) {
            if (p.m_str_name == "Aktuell")
                m_current = CTRL_Settings_Open_Weather_Current(kv_weather_record_text(p.m_str_value));
            else if (p.m_str_name == "Vorhersage")
                m_forecast = CTRL_Settings_Open_Weather_Forecast(kv_weather_record_text(p.m_str_value));
        }
    }
    if (m_popup)
        m_popup->update();
    update();
}

QString CKV_Gui_Control_App_Open_Weather::source_line() const
{
    const QDateTime time = QDateTime::fromSecsSinceEpoch(m_current.m_time);
    return QStringLiteral("( Daten von: %1, %2 )").arg(QString::fromStdString(m_current.m_source), date_text(time));
}

QStringList CKV_Gui_Control_App_Open_Weather::lines() const
{
    if (!has_data())
        return {QString::fromUtf8(LOADING_TEXT)};
    const QDateTime time = QDateTime::fromSecsSinceEpoch(m_current.m_time);
    return {text_param("Text"),
            degrees(m_current.m_temp) + QLatin1Char(' ') + QString::fromStdString(m_current.m_description),
            QStringLiteral("Wind %1 km/h").arg(qRound(m_current.m_wind)),
            time_text(time),
            source_line()};
}

QStringList CKV_Gui_Control_App_Open_Weather::day_texts() const
{
    const QLocale german(QLocale::German, QLocale::Germany);
    QStringList texts;
    for (const auto& day : m_forecast.m_days) {
        const QDateTime time = QDateTime::fromSecsSinceEpoch(day.m_time);
        texts << german.toString(time.date(), QStringLiteral("dddd d MMMM")) + QLatin1Char('\n') +
                     degrees(day.m_temp_min) + QStringLiteral(" / ") + degrees(day.m_temp_max) + QLatin1Char('\n') +
                     QStringLiteral("Durchschnittliche Luftfeuchte: ") + percent(day.m_humidity) + QLatin1Char('\n') +
                     QStringLiteral("Durchschnittliche Bewölkung: ") + percent(day.m_clouds) + QLatin1Char('\n') +
                     QStringLiteral("Wind Maximalwert: ") + km_h(day.m_wind_max);
    }
    return texts;
}

void CKV_Gui_Control_App_Open_Weather::on_release(const QPoint&)
{
    if (!host().run_mode() || m_forecast.m_days.empty())
        return;
    if (!m_popup)
        m_popup = std::make_unique<CKV_Gui_Control_App_Open_Weather_Popup>(*this, canvas()->scroll_area());
    m_popup->set_visible_animated(true);
}

void CKV_Gui_Control_App_Open_Weather::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QColor foreground = param_color("Schrift/Linie", Qt::white);
    painter.setPen(QPen(foreground, 1));
    painter.setBrush(param_color("Hintergrund", QColor(0x19, 0x19, 0x19)));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());
    painter.setFont(text_font());
    if (!has_data()) {
        painter.drawText(rect(), Qt::AlignCenter, lines().constFirst());
        return;
    }
    const qreal side = std::min(width() / 3.0, height() * 0.6);
    draw_image(painter, QRectF(width() - side - 8, 8, side, side), kv_weather_image_name(m_current.m_icon));
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop, lines().join(QLatin1Char('\n')));
}

// ---------------------------------------------------------------- popup

CKV_Gui_Control_App_Open_Weather_Popup::CKV_Gui_Control_App_Open_Weather_Popup(
    CKV_Gui_Control_App_Open_Weather& control, QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Base(page)
    , m_control(control)
{
}

void CKV_Gui_Control_App_Open_Weather_Popup::paint_panel(QPainter& painter)
{
    painter.setPen(Qt::white);
    painter.setFont(panel_font(16));
    const QStringList days = m_control.day_texts();
    const int top = 64;
    const qreal column = days.isEmpty() ? 0 : (width() - 16.0) / days.size();
    for (int i = 0; i < days.size(); ++i) {
        const QRectF box(8 + column * i, top, column - 8, height() - top - 40);
        const qreal side = std::min(box.width(), 64.0);
        draw_image(painter, QRectF(box.left(), box.top(), side, side),
                   kv_weather_image_name(m_control.forecast().m_days[size_t(i)].m_icon));
        painter.drawText(box.adjusted(0, side + 8, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, days[i]);
    }
    painter.drawText(QRectF(8, height() - 32, width() - 16, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     m_control.source_line());
}
