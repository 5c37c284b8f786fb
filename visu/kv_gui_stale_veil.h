#pragma once
// The look of a control whose value dates from before a lost connection: a
// veil over the whole control, coloured by the style sheet (object name
// "kv_stale_veil"), so that classic controls and tiles look alike in both
// themes. It lets every touch through and follows the control's size.

#include <QWidget>

class KV_Gui_Stale_Veil : public QWidget {
    Q_OBJECT
public:
    explicit KV_Gui_Stale_Veil(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
