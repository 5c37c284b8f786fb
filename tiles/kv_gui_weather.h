#pragma once
// Weather views: the weather station display (temperature, brightness, wind,
// rain from four addresses) and the online weather view with its popup,
// which shows the data an online weather logic block of the project holds.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "kv_gui_control.h"
#include "kv_gui_tile_overlay.h"
#include "kv_weather.h"

class KV_LOGIC_Control;

class CKV_Gui_Control_App_WS_Anzeige : public CKV_Gui_Control {
    Q_OBJECT
public:
    // "Darstellung": bars and images (0) or the values only.
    static constexpr int VALUES_ONLY = 1;
    enum Entry { TEMPERATURE = 0, BRIGHTNESS = 1, WIND = 2, RAIN = 3 };
    // From this brightness on the sun is drawn lit.
    static constexpr double SUNNY_LUX = 1000.0;

    using CKV_Gui_Control::CKV_Gui_Control;

    void on_value(const KV_Addr_Db& address, int entry, double value) override;

    QString temperature_text() const;
    // Where the temperature lies on the scale "Skal. Temp. Min" to "Max", 0..1.
    double temperature_fraction() const;
    QString brightness_text() const;
    QString sun_image_name() const;
    QString wind_text() const;
    // Where the wind lies between 0 and "Skal. Wind. Max", 0..1.
    double wind_fraction() const;
    QString rain_text() const;
    QString rain_image_name() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paint_bar(QPainter& painter, const QRectF& box, double fraction) const;
};

// The symbol of a weather code ("01d" ...).
QString kv_weather_image_name(const std::string& code);

class CKV_Gui_Control_App_Open_Weather_Popup;

class CKV_Gui_Control_App_Open_Weather : public CKV_Gui_Control {
    Q_OBJECT
public:
    static constexpr const char* LOADING_TEXT = "Lade Daten\nBitte warten\n...";

    using CKV_Gui_Control::CKV_Gui_Control;
    ~CKV_Gui_Control_App_Open_Weather() override;

    void apply_record() override;
    void on_release(const QPoint& point) override;
    // A weather block the controller changed (602) is read again.
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload) override;

    bool has_data() const { return m_current.m_time != 0; }
    const CTRL_Settings_Open_Weather_Current& current() const { return m_current; }
    const CTRL_Settings_Open_Weather_Forecast& forecast() const { return m_forecast; }
    // The lines shown: the loading text before data, else the current weather.
    QStringList lines() const;
    // The text blocks of the forecast days: a day header, then the values.
    QStringList day_texts() const;
    CKV_Gui_Control_App_Open_Weather_Popup* popup() const { return m_popup.get(); }
    // "( Daten von: source, dd.MM.yyyy hh:mm )".
    QString source_line() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void read_block();
    const KV_LOGIC_Control* block() const;

    CTRL_Settings_Open_Weather_Current m_current;
    CTRL_Settings_Open_Weather_Forecast m_forecast;
    std::unique_ptr<CKV_Gui_Control_App_Open_Weather_Popup> m_popup;
};

// The forecast of all days, slid in over the page.
class CKV_Gui_Control_App_Open_Weather_Popup : public CKV_Gui_Control_Tile_Overlay_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Open_Weather_Popup(CKV_Gui_Control_App_Open_Weather& control, QWidget* page);
    void paint_panel(QPainter& painter) override;

private:
    CKV_Gui_Control_App_Open_Weather& m_control;
};
