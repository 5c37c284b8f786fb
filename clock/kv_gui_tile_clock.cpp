#include "kv_gui_tile_clock.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "kv_gui_clock_control.h"
#include "kv_gui_clock_time_form.h"
#include "kv_gui_container.h"
#include "kv_visu_host.h"

namespace {
constexpr int TOUCH_HEIGHT = 56;

// Panels are dark: light text, room for the close button at the top left.
void style_panel(QWidget* panel, QVBoxLayout* column)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    panel->setPalette(palette);
    column->setContentsMargins(68, 16, 24, 24);
}

QLabel* title_label(const QString& text, QWidget* parent)
{
    auto* title = new QLabel(text, parent);
    QFont font(QStringLiteral("Graphik Medium"));
    font.setPixelSize(24);
    title->setFont(font);
    title->setMinimumHeight(40);
    return title;
}
} // namespace

// ---------------------------------------------------------------- time editor

CKV_Gui_Overlay_Shift_Time_Edit::CKV_Gui_Overlay_Shift_Time_Edit(KV_Visu_Host& host, const std::string& clock_guid,
                                                                 const KV_Clock_Value_Texts& texts, QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Base(page)
    , m_host(host)
    , m_guid(clock_guid)
    , m_texts(texts)
{
    setObjectName(QStringLiteral("kv_shift_time_edit"));
    auto* column = new QVBoxLayout(this);
    style_panel(this, column);
    m_title = title_label({}, this);
    column->addWidget(m_title);
    m_form = new CKV_Gui_Clock_Time_Form({"kv_hour", "kv_minute", "kv_day", "kv_month", "kv_days", "kv_value"}, this);
    column->addWidget(m_form);
    column->addStretch();
    m_done = new QPushButton(tr("Fertig"), this);
    m_done->setMinimumHeight(TOUCH_HEIGHT);
    column->addWidget(m_done);
    connect(m_done, &QPushButton::clicked, this, &CKV_Gui_Overlay_Shift_Time_Edit::finish);
}

void CKV_Gui_Overlay_Shift_Time_Edit::edit(int index)
{
    const KV_Clock* clock = kv_find_clock(m_host.clock_settings(), m_guid);
    if (!clock || index < 0 || size_t(index) >= clock->m_list_time.size())
        return;
    m_index = index;
    const KV_Clock_Time& time = clock->m_list_time[size_t(index)];
    m_title->setText(QString::fromStdString(time.m_str_name));
    m_form->set_time(time, kv_clock_data_type(m_host, *clock), m_texts);
    set_visible_animated(true);
}

void CKV_Gui_Overlay_Shift_Time_Edit::finish()
{
    set_visible_animated(false);
    if (!kv_clock_store_time(m_host.clock_settings(), m_guid, m_index, m_form->time()))
        return; // the controller replaced the record meanwhile
    CKV_Gui_Control_App_Uhr::commit(m_host, m_guid, nullptr);
    emit committed();
}

// ---------------------------------------------------------------- time list

CKV_Gui_Control_App_Overlay_Timer::CKV_Gui_Control_App_Overlay_Timer(KV_Visu_Host& host, const std::string& clock_guid,
                                                                     const KV_Clock_Value_Texts& texts, QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Base(page)
    , m_host(host)
    , m_guid(clock_guid)
{
    setObjectName(QStringLiteral("kv_overlay_timer"));
    auto* column = new QVBoxLayout(this);
    style_panel(this, column);
    column->addWidget(title_label(tr("Schaltzeiten"), this));

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->viewport()->setAutoFillBackground(false);
    m_list = new QWidget(scroll);
    m_list->setAutoFillBackground(false);
    m_list_layout = new QVBoxLayout(m_list);
    m_list_layout->addStretch();
    scroll->setWidget(m_list);
    column->addWidget(scroll, 1);

    m_empty = new QLabel(tr("Keine Schaltzeit angelegt"), this);
    m_empty->setAlignment(Qt::AlignCenter);
    column->addWidget(m_empty);
    m_add = new QPushButton(tr("Schaltzeit hinzufügen"), this);
    m_add->setMinimumHeight(TOUCH_HEIGHT);
    column->addWidget(m_add);
    connect(m_add, &QPushButton::clicked, this, &CKV_Gui_Control_App_Overlay_Timer::add_time);

    // The editor slides in over this list.
    m_editor = new CKV_Gui_Overlay_Shift_Time_Edit(host, clock_guid, texts, this);
    connect(m_editor, &CKV_Gui_Overlay_Shift_Time_Edit::committed, this, &CKV_Gui_Control_App_Overlay_Timer::refresh);
    refresh();
}

void CKV_Gui_Control_App_Overlay_Timer::set_visible_animated(bool visible)
{
    if (visible)
        refresh();
    CKV_Gui_Control_Tile_Overlay_Base::set_visible_animated(visible);
}

void CKV_Gui_Control_App_Overlay_Timer::refresh()
{
    for (QPushButton* row : rows())
        delete row;
    const KV_Clock* clock = kv_find_clock(m_host.clock_settings(), m_guid);
    const size_t count = clock ? clock->m_list_time.size() : 0;
    for (size_t i = 0; i < count; ++i) {
        const KV_Clock_Time& time = clock->m_list_time[i];
        const QString when = time.m_typ == 0 ? kv_clock_weekdays_text(time) : kv_clock_once_text(time);
        auto* row = new QPushButton(QString::fromStdString(time.m_str_name) + QLatin1Char('\n') +
                                        kv_clock_time_text(time, KV_CLOCK_TIME_TILE) + QStringLiteral("   ") + when,
                                    m_list);
        row->setObjectName(QStringLiteral("kv_timer_row"));
        row->setMinimumHeight(TOUCH_HEIGHT);
        m_list_layout->insertWidget(m_list_layout->count() - 1, row);
        connect(row, &QPushButton::clicked, this, [this, i] { m_editor->edit(int(i)); });
    }
    m_empty->setVisible(count == 0);
    m_add->setEnabled(clock && count < KV_Settings_Clock::MAX_TIMES);
}

void CKV_Gui_Control_App_Overlay_Timer::add_time()
{
    KV_Clock* clock = kv_find_clock(m_host.clock_settings(), m_guid);
    if (!clock || clock->m_list_time.size() >= KV_Settings_Clock::MAX_TIMES)
        return;
    KV_Clock_Time time;
    time.m_str_name = QStringLiteral("Schaltzeit %1").arg(clock->m_list_time.size() + 1).toStdString();
    clock->m_list_time.push_back(time);
    CKV_Gui_Control_App_Uhr::commit(m_host, m_guid, nullptr);
    refresh();
}

QList<QPushButton*> CKV_Gui_Control_App_Overlay_Timer::rows() const
{
    return m_list->findChildren<QPushButton*>(QStringLiteral("kv_timer_row"), Qt::FindDirectChildrenOnly);
}

QStringList CKV_Gui_Control_App_Overlay_Timer::row_texts() const
{
    QStringList texts;
    for (const QPushButton* row : rows())
        texts << row->text();
    return texts;
}

// ---------------------------------------------------------------- tile

void CKV_Gui_Control_Tile_Clock::apply_record()
{
    m_guid = param("Uhr").toStdString();
    m_current = entry_value(shown_entry());
    CKV_Gui_Control_Tile_Touch_Base::apply_record();
}

void CKV_Gui_Control_Tile_Clock::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry != shown_entry())
        return;
    m_current = value;
    update();
}

void CKV_Gui_Control_Tile_Clock::on_release(const QPoint& point)
{
    // A clock has nothing to switch on a tap: the tap opens the times as well.
    if (touch_area().contains(point))
        open_overlay();
}

bool CKV_Gui_Control_Tile_Clock::is_off() const
{
    const KV_Clock* clock = kv_find_clock(host().clock_settings(), m_guid);
    return !clock || !clock->m_active;
}

QString CKV_Gui_Control_Tile_Clock::state_text() const
{
    const KV_Clock_Value_Texts texts = kv_clock_value_texts(*this);
    return m_current == 0.0 ? texts.off_text() : texts.on_text();
}

std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> CKV_Gui_Control_Tile_Clock::create_overlay()
{
    return std::make_shared<CKV_Gui_Control_App_Overlay_Timer>(host(), m_guid, kv_clock_value_texts(*this),
                                                               canvas()->scroll_area());
}
