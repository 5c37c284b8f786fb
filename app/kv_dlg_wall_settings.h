#pragma once
#include <QFrame>

#include "kv_wall_settings.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

// The wall-panel rows of the app settings view: minutes without a touch
// before the panel returns to its start page, kiosk mode and the settings
// PIN. Every change is stored at once.
class CKV_Dlg_Wall_Settings : public QFrame
{
    Q_OBJECT

public:
    explicit CKV_Dlg_Wall_Settings(KV_Wall_Settings& wall, QWidget* parent = nullptr);

    // Shows the stored state again (kiosk left by PIN, for one).
    void refresh();

signals:
    void changed();

private:
    void store();

    KV_Wall_Settings& m_wall;
    QSpinBox* m_spinBox_idle_return = nullptr;
    QCheckBox* m_checkBox_kiosk = nullptr;
    QLineEdit* m_lineEdit_pin = nullptr;
};
