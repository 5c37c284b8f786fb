#pragma once
// The language switch: shows the visualisation language and switches it,
// through a list of the project's languages or to the next one in turn.

#include <QMenu>
#include <QPointer>

#include "kv_gui_control.h"
#include "kv_visu_host.h"

class CKV_Gui_Control_Sprachumschaltung : public CKV_Gui_Control {
    Q_OBJECT
public:
    enum Mode { LIST = 0, NEXT_LANGUAGE = 1 };

    using CKV_Gui_Control::CKV_Gui_Control;
    void apply_record() override;
    void on_release(const QPoint& point) override;

    // The language after the current one, wrapping; the first one when the
    // current language is none of the project's. Empty without languages.
    QString next_language() const;
    // The list opened by the last click in list mode, while it is open.
    QMenu* menu() const { return m_menu; }
    QString shown_name() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws its pressed face itself.
    QRect pressed_area() const override { return {}; }

private:
    void open_menu(const QList<KV_Visu_Language>& languages);
    void switch_to(const QString& code);

    int m_mode = LIST;
    bool m_icon = true;
    QPointer<QMenu> m_menu;
};
