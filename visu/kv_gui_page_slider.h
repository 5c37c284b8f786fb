#pragma once
// A page selector: the caption of one page of a chosen range between an
// up arrow (previous page) and a down arrow (next page); each arrow changes
// the page.

#include <string>
#include <vector>

#include "kv_gui_control.h"

class CKV_Gui_Control_App_Seitenwechsel_Slider : public CKV_Gui_Control {
    Q_OBJECT
public:
    using CKV_Gui_Control::CKV_Gui_Control;
    void apply_record() override;
    void on_release(const QPoint& point) override;

    // The pages offered: "Auswahl Seiten" when set, else the window's pages
    // from "Seite Begin" to "Seite End"; only pages that exist.
    const std::vector<std::string>& pages() const { return m_pages; }
    int selected() const { return m_selected; }
    // Moves the selection by one page (-1 up, +1 down) within the range and
    // shows that page; false at either end.
    bool step(int direction);
    QList<QRect> operable_parts() const override { return {arrow_rect(true), arrow_rect(false)}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // The pressed look on the arrow under the finger.
    QRect pressed_area() const override;

private:
    std::vector<std::string> collect_pages() const;
    // The previous page's arrow (up, or left when flat) and the next one's.
    QRect arrow_rect(bool up) const;
    bool is_wide() const;

    std::vector<std::string> m_pages;
    int m_selected = -1;
};
