#pragma once
// A large vertical level slider for the overlays (brightness, blind height,
// slat angle): drawn as a filled column, dragged with a finger, and only the
// level where the finger lifts is handed on, so that a drag does not flood
// the bus. Values from the installation move it unless a finger holds it.

#include <QString>
#include <QWidget>

class KV_Tile_Level_Slider : public QWidget {
    Q_OBJECT
public:
    explicit KV_Tile_Level_Slider(QWidget* parent = nullptr);

    void set_maximum(double maximum);
    double maximum() const { return m_maximum; }
    // A reported level; ignored while the user drags.
    void set_value(double value);
    double value() const { return m_value; }
    bool is_dragging() const { return m_dragging; }
    // The label under the level ("Höhe", "Lamelle").
    void set_caption(const QString& caption);
    void set_fill_color(const QColor& color);

signals:
    void released(double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect column() const;
    double value_at(int y) const;

    double m_maximum = 100.0;
    double m_value = 0.0;
    bool m_dragging = false;
    QString m_caption;
    QColor m_fill{0x29, 0xC7, 0xA5};
};
