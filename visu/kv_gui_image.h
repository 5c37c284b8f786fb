#pragma once
// Image displays: a static image, one of two by an on/off value, an animated
// GIF started and stopped by a value, and one image of a list chosen by the
// value. Images come from the host's image cache; a missing one is drawn as a
// placeholder.

#include <QBuffer>
#include <QMovie>
#include <QPixmap>
#include <QTimer>
#include <memory>
#include <vector>

#include "kv_gui_control.h"
#include "kv_gui_trigger.h"

// "Links", "Zentriert", "Rechts" of an alignment choice.
Qt::Alignment kv_horizontal_alignment(int choice);
// Draws `image` into `box`, keeping its aspect ratio when `proportional`
// (placed by `alignment`), else stretched; a null image draws the placeholder.
void kv_draw_image(QPainter& painter, const QRect& box, const QPixmap& image, bool proportional,
                   Qt::Alignment alignment = Qt::AlignCenter);
// A thin frame with a crossed picture symbol: the image is missing.
void kv_draw_image_placeholder(QPainter& painter, const QRect& box);

// Common drawing of the image controls: the image above an optional text.
class CKV_Gui_Control_Image_Base : public CKV_Gui_Control {
    Q_OBJECT
public:
    using CKV_Gui_Control::CKV_Gui_Control;
    // The stored file the control shows now; empty for none.
    virtual QString image_name() const = 0;
    virtual QString caption() const { return {}; }
    bool operable() const override { return false; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // The current frame; by default the named image from the host's cache.
    virtual QPixmap current_image() const;
    bool m_proportional = true;
    Qt::Alignment m_alignment = Qt::AlignCenter;
};

class CKV_Gui_Control_Image : public CKV_Gui_Control_Image_Base {
    Q_OBJECT
public:
    using CKV_Gui_Control_Image_Base::CKV_Gui_Control_Image_Base;
    void apply_record() override;
    QString image_name() const override { return m_image; }
    QString caption() const override { return m_text; }

private:
    QString m_image;
    QString m_text;
};

class CKV_Gui_Control_Image_OnOff : public CKV_Gui_Control_Image_Base {
    Q_OBJECT
public:
    using CKV_Gui_Control_Image_Base::CKV_Gui_Control_Image_Base;
    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    QString image_name() const override { return m_on ? m_image_on : m_image_off; }
    QString caption() const override { return m_on ? m_text_on : m_text_off; }
    bool is_on() const { return m_on; }
    // With a page it is a link to that page: a tap opens it.
    bool operable() const override { return !m_page_guid.empty(); }
    void on_release(const QPoint& point) override;

private:
    QString m_image_on;
    QString m_image_off;
    QString m_text_on;
    QString m_text_off;
    std::string m_page_guid;
    KV_Telegram_Trigger m_page_trigger;
    bool m_on = false;
};

class CKV_Gui_Control_Image_Gif : public CKV_Gui_Control_Image_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_Image_Gif(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    ~CKV_Gui_Control_Image_Gif() override;
    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    QString image_name() const override { return m_image; }
    bool is_running() const;
    bool is_valid() const { return m_movie && m_movie->isValid(); }
    int speed() const { return m_movie ? m_movie->speed() : 0; }

protected:
    QPixmap current_image() const override;

private:
    void follow(double value);

    QString m_image;
    bool m_by_value = true; // "Start/Stop": the value starts and stops it
    QByteArray m_bytes;
    QBuffer m_buffer;
    std::unique_ptr<QMovie> m_movie;
};

class CKV_Gui_Control_Image_Value : public CKV_Gui_Control_Image_Base {
    Q_OBJECT
public:
    static constexpr int ENTRY_COUNT = 10;
    CKV_Gui_Control_Image_Value(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    // With a cycle time the chosen image blinks against the default image.
    QString image_name() const override { return m_blink_off ? m_default : m_chosen; }
    QString chosen_image() const { return m_chosen; }
    bool is_blinking() const { return m_blink.isActive(); }

private:
    void choose(double value);
    void slot_blink();

    struct Choice {
        double value;
        QString image;
    };
    std::vector<Choice> m_choices;
    QString m_default;
    QString m_chosen;
    int m_blink_ms = 0; // 0: no blinking
    QTimer m_blink;
    bool m_blink_off = false;
};
