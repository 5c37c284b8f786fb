#pragma once
// Camera view: asks the controller for pictures of one camera of the
// project's camera settings while it is visible on a live page, shows them
// and, on a tap, enlarged in a slide-in panel.
//
// Messages (texts split at ";", the first field is the camera's GUID):
//   202 out  "GUID"                   request the next picture
//   203 in   "GUID;" + image bytes    a picture (any format Qt reads); the
//                                     bytes run to the end of the payload
//   204 in   "GUID;reason"            the controller could not get a picture;
//                                     the reason is shown as info text
//
// Snapshot view, for the GUID of a snapshot logic block:
//   1208 out "GUID;n"                 request stored snapshot n, 0 the newest
//   203  in  "GUID;" + image bytes    that snapshot

#include <QDateTime>
#include <QImage>
#include <QPointF>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "kv_gui_control.h"
#include "kv_gui_tile_overlay.h"

class CKV_Gui_Control_App_Overlay_Ip_Cam;
class CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot;
class QPushButton;

// The bytes after "GUID;" of a camera message for `guid`; false for a
// message of another camera or without payload.
bool kv_camera_payload(const CKV_Network_Msg& header, const unsigned char* payload, const std::string& guid,
                       QByteArray& rest);

class CKV_Gui_Control_App_IP_Cam : public CKV_Gui_Control {
    Q_OBJECT
public:
    enum class Status { Connecting, Showing, Interrupted, Locked };
    // Intervals without a picture after which the connection counts as lost.
    static constexpr int MISSED_INTERVALS = 3;

    CKV_Gui_Control_App_IP_Cam(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    ~CKV_Gui_Control_App_IP_Cam() override;

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload) override;
    void on_release(const QPoint& point) override;

    // One refresh interval: asks for the next picture while active.
    void tick();
    // Live page, visible and released by "Freigabe".
    bool active() const;
    bool released() const;
    bool is_refreshing() const { return m_refresh.isActive(); }
    int interval_ms() const { return m_refresh.interval(); }
    Status status() const;
    // The status picture for the "Status Icon" setting; empty while a
    // picture is shown or the setting is "keines".
    QString status_image_name() const;
    const QImage& image() const { return m_image; }
    QString info_text() const { return m_info; }
    CKV_Gui_Control_App_Overlay_Ip_Cam* overlay() const { return m_overlay.get(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Starts or stops the refresh as the control becomes active or not;
    // becoming active asks for a picture at once.
    void update_activity();
    void request();

    std::string m_guid;
    QTimer m_refresh;
    QImage m_image;
    QString m_info;
    int m_missed = 0; // intervals since the last picture
    bool m_failed = false;
    std::unique_ptr<CKV_Gui_Control_App_Overlay_Ip_Cam> m_overlay;
};

// The camera's picture, large, over the page.
class CKV_Gui_Control_App_Overlay_Ip_Cam : public CKV_Gui_Control_Tile_Overlay_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Overlay_Ip_Cam(const CKV_Gui_Control_App_IP_Cam& camera, QWidget* page);
    void paint_panel(QPainter& painter) override;

private:
    const CKV_Gui_Control_App_IP_Cam& m_camera;
};

// The snapshots a snapshot logic block stored: their count ("Anzahl"), and
// on a tap a panel that shows them one by one and takes a new one.
class CKV_Gui_Control_App_IP_Cam_Snapshot : public CKV_Gui_Control {
    Q_OBJECT
public:
    enum Entry { TRIGGER = 0, RESET = 1, COUNT = 2 };

    using CKV_Gui_Control::CKV_Gui_Control;
    ~CKV_Gui_Control_App_IP_Cam_Snapshot() override;

    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload) override;
    void on_release(const QPoint& point) override;

    int count() const { return std::max(0, int(entry_value(COUNT))); }
    // Shows snapshot `index` (0 the newest), clamped to the stored ones,
    // and asks the controller for it.
    void show_snapshot(int index);
    int shown_index() const { return m_index; }
    const QImage& image() const { return m_image; }
    // Takes a new snapshot through the block's trigger input.
    void trigger();
    // Clears the stored snapshots through the block's reset input, where the
    // control has one.
    bool can_reset() const { return !entry_address(RESET).is_null(); }
    void reset();
    CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot* overlay() const { return m_overlay.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string guid() const { return param("GUID").toStdString(); }

    int m_index = 0;
    QImage m_image;
    std::unique_ptr<CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot> m_overlay;
};

// One snapshot, large; a tap on the left third goes to an older one, on the
// right third to a newer one; a button takes a new snapshot, another one
// (where the control has a reset input) clears the stored ones.
class CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot : public CKV_Gui_Control_Tile_Overlay_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot(CKV_Gui_Control_App_IP_Cam_Snapshot& snapshots, QWidget* page);
    void paint_panel(QPainter& painter) override;
    QPushButton* trigger_button() const { return m_trigger; }
    QPushButton* reset_button() const { return m_reset; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CKV_Gui_Control_App_IP_Cam_Snapshot& m_snapshots;
    QPointF m_press; // a release near it is a tap, not a drag
    QPushButton* m_trigger = nullptr;
    QPushButton* m_reset = nullptr;
};

// Draws `image` into `box`: stretched to it, or as large as fits and centred.
void kv_draw_camera_image(QPainter& painter, const QRectF& box, const QImage& image, bool stretch);
