#include "kv_gui_language_switch.h"

#include <QPainter>

#include "kv_visu_host.h"

void CKV_Gui_Control_Sprachumschaltung::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_mode = param_int("Umschaltung") == NEXT_LANGUAGE ? NEXT_LANGUAGE : LIST;
    m_icon = param_int("Icon") != 0;
    update();
}

QString CKV_Gui_Control_Sprachumschaltung::next_language() const
{
    const QList<KV_Visu_Language> languages = host().visu_languages();
    if (languages.isEmpty())
        return {};
    const QString current = host().language();
    for (qsizetype i = 0; i < languages.size(); ++i)
        if (languages[i].code == current)
            return languages[(i + 1) % languages.size()].code;
    return languages.first().code;
}

QString CKV_Gui_Control_Sprachumschaltung::shown_name() const
{
    const QString current = host().language();
    for (const KV_Visu_Language& language : host().visu_languages())
        if (language.code == current)
            return language.name;
    return current;
}

void CKV_Gui_Control_Sprachumschaltung::on_release(const QPoint&)
{
    const QList<KV_Visu_Language> languages = host().visu_languages();
    if (languages.isEmpty()) {
        host().show_message(QStringLiteral("Keine benutzerdefinierten Sprachen angelegt. Legen Sie unter Bearbeiten - "
                                           "Benutzerdefinierte Sprachen - neue Sprachen an."));
        return;
    }
    if (m_mode == NEXT_LANGUAGE)
        switch_to(next_language());
    else
        open_menu(languages);
}

void CKV_Gui_Control_Sprachumschaltung::open_menu(const QList<KV_Visu_Language>& languages)
{
    if (m_menu)
        m_menu->deleteLater();
    m_menu = new QMenu(this);
    m_menu->setAttribute(Qt::WA_DeleteOnClose);
    const QString current = host().language();
    for (const KV_Visu_Language& language : languages) {
        QAction* action = m_menu->addAction(language.name);
        action->setCheckable(true);
        action->setChecked(language.code == current);
        const QString code = language.code;
        connect(action, &QAction::triggered, this, [this, code] { switch_to(code); });
    }
    m_menu->popup(mapToGlobal(QPoint(0, height())));
}

void CKV_Gui_Control_Sprachumschaltung::switch_to(const QString& code)
{
    if (code.isEmpty() || code == host().language())
        return;
    host().set_visu_language(code);
    update();
}

void CKV_Gui_Control_Sprachumschaltung::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QRectF box = frame_box();
    painter.setPen(border_pen());
    painter.setBrush(shows_pressed() ? or_default(btncolorpress(), btncolorswitchon())
                                  : or_default(btncolorface(), Qt::transparent));
    painter.drawRoundedRect(box, borderradius(), borderradius());

    const QColor ink = or_default(btncolortext(), static_text_color());
    QRect text_box = rect().adjusted(4, 2, -4, -2);
    if (m_icon) {
        // A globe: circle, equator and one meridian ellipse.
        const qreal side = std::min<qreal>(height() - 8, width() / 3.0);
        if (side > 6) {
            const QRectF globe(6, (height() - side) / 2.0, side, side);
            painter.setPen(QPen(ink, 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(globe);
            painter.drawEllipse(globe.adjusted(side * 0.3, 0, -side * 0.3, 0));
            painter.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
            text_box.setLeft(static_cast<int>(globe.right()) + 6);
        }
    }
    painter.setFont(text_font());
    painter.setPen(ink);
    painter.drawText(text_box, Qt::AlignCenter, shown_name());
}
