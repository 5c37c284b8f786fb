#include "kv_gui_time_program.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "kv_gui_clock_time_form.h"

namespace {
QPushButton* panel_button(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setMinimumHeight(KV_PANEL_TOUCH_HEIGHT);
    return button;
}
} // namespace

// ---------------------------------------------------------------- time editor

CKV_Gui_Overlay_Shift_Time_Edit::CKV_Gui_Overlay_Shift_Time_Edit(KV_Time_Program& program, QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Settings_Base(page)
    , m_program(program)
{
    setObjectName(QStringLiteral("kv_shift_time_edit"));
    kv_style_panel(this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(68, 16, 24, 24);
    m_title = kv_panel_title({}, this);
    column->addWidget(m_title);
    // The form is taller than a phone: it scrolls.
    m_form = new CKV_Gui_Clock_Time_Form({"kv_hour", "kv_minute", "kv_day", "kv_month", "kv_days", "kv_value"}, nullptr);
    column->addWidget(kv_panel_scroll(m_form, this), 1);
    auto* buttons = new QHBoxLayout;
    m_remove = panel_button(tr("Löschen"), this);
    m_remove->setObjectName(QStringLiteral("kv_time_remove"));
    m_done = panel_button(tr("Fertig"), this);
    m_done->setObjectName(QStringLiteral("kv_time_done"));
    buttons->addWidget(m_remove);
    buttons->addWidget(m_done, 1);
    column->addLayout(buttons);
    connect(m_done, &QPushButton::clicked, this, &CKV_Gui_Overlay_Shift_Time_Edit::tumbler_changed);
    connect(m_remove, &QPushButton::clicked, this, &CKV_Gui_Overlay_Shift_Time_Edit::ask_remove);
}

void CKV_Gui_Overlay_Shift_Time_Edit::edit(int index)
{
    const std::vector<KV_Clock_Time>* times = m_program.times();
    if (!times || index < 0 || size_t(index) >= times->size())
        return;
    m_index = index;
    const KV_Clock_Time& time = (*times)[size_t(index)];
    m_title->setText(QString::fromStdString(time.m_str_name));
    m_form->set_time(time, m_program.choices());
    set_visible_animated(true);
}

void CKV_Gui_Overlay_Shift_Time_Edit::tumbler_changed()
{
    set_visible_animated(false);
    std::vector<KV_Clock_Time>* times = m_program.times();
    if (!times || m_index < 0 || size_t(m_index) >= times->size())
        return; // the controller replaced the program meanwhile
    (*times)[size_t(m_index)] = m_form->time();
    m_program.commit();
    emit committed();
}

void CKV_Gui_Overlay_Shift_Time_Edit::ask_remove()
{
    const int index = m_index;
    const std::vector<KV_Clock_Time>* times = m_program.times();
    if (!times || index < 0 || size_t(index) >= times->size())
        return;
    m_question = new QMessageBox(QMessageBox::Question, QStringLiteral("kirovantor3"),
                                 tr("Schaltzeit „%1“ löschen?").arg(QString::fromStdString((*times)[size_t(index)].m_str_name)),
                                 QMessageBox::Yes | QMessageBox::No, this);
    m_question->button(QMessageBox::Yes)->setText(tr("Ja"));
    m_question->button(QMessageBox::No)->setText(tr("Nein"));
    m_question->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_question, &QMessageBox::finished, this, [this, index](int answer) {
        m_question = nullptr;
        std::vector<KV_Clock_Time>* now = m_program.times();
        if (answer != QMessageBox::Yes || !now || index != m_index || size_t(index) >= now->size())
            return;
        now->erase(now->begin() + index);
        m_index = -1;
        m_program.commit();
        set_visible_animated(false);
        emit committed();
    });
    m_question->open();
}

// ---------------------------------------------------------------- time list

CKV_Gui_Control_App_Overlay_Timer::CKV_Gui_Control_App_Overlay_Timer(std::unique_ptr<KV_Time_Program> program,
                                                                     QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Preset_Base(page)
    , m_program(std::move(program))
{
    setObjectName(QStringLiteral("kv_overlay_timer"));
    kv_style_panel(this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(68, 16, 24, 24);
    row->setSpacing(24);
    auto* column = new QVBoxLayout;
    row->addLayout(column, 3);
    row->addWidget(preset_list(), 2);
    column->addWidget(kv_panel_title(tr("Schaltzeiten"), this));
    m_list = new QWidget;
    m_list_layout = new QVBoxLayout(m_list);
    m_list_layout->addStretch();
    column->addWidget(kv_panel_scroll(m_list, this), 1);

    m_empty = kv_panel_label(tr("Keine Schaltzeit angelegt"), this);
    m_empty->setAlignment(Qt::AlignCenter);
    column->addWidget(m_empty);
    m_add = panel_button(tr("Schaltzeit hinzufügen"), this);
    column->addWidget(m_add);
    connect(m_add, &QPushButton::clicked, this, &CKV_Gui_Control_App_Overlay_Timer::add_time);

    // The editor slides in over this list.
    m_editor = new CKV_Gui_Overlay_Shift_Time_Edit(*m_program, this);
    connect(m_editor, &CKV_Gui_Overlay_Shift_Time_Edit::committed, this, &CKV_Gui_Control_App_Overlay_Timer::refresh);
    refresh();
}

void CKV_Gui_Control_App_Overlay_Timer::set_visible_animated(bool visible)
{
    if (visible) {
        refresh();
        m_presets = KV_Time_Presets::load(m_program->guid());
        preset_list()->refresh();
    }
    CKV_Gui_Control_Tile_Overlay_Base::set_visible_animated(visible);
}

void CKV_Gui_Control_App_Overlay_Timer::refresh()
{
    for (QPushButton* row : rows())
        delete row;
    const std::vector<KV_Clock_Time>* times = m_program->times();
    const size_t count = times ? times->size() : 0;
    for (size_t i = 0; i < count; ++i) {
        const KV_Clock_Time& time = (*times)[i];
        const QString when = time.m_typ == 0 ? kv_clock_weekdays_text(time) : kv_clock_once_text(time);
        auto* row = new QPushButton(QString::fromStdString(time.m_str_name) + QLatin1Char('\n') +
                                        QStringList{kv_clock_time_text(time, KV_CLOCK_TIME_TILE), when,
                                                    m_program->value_text(time)}
                                            .join(QStringLiteral("   ")),
                                    m_list);
        row->setObjectName(QStringLiteral("kv_timer_row"));
        row->setMinimumHeight(KV_PANEL_TOUCH_HEIGHT);
        m_list_layout->insertWidget(m_list_layout->count() - 1, row);
        connect(row, &QPushButton::clicked, this, [this, i] { m_editor->edit(int(i)); });
    }
    m_empty->setVisible(count == 0);
    m_add->setEnabled(times && count < KV_Settings_Clock::MAX_TIMES);
}

void CKV_Gui_Control_App_Overlay_Timer::add_time()
{
    std::vector<KV_Clock_Time>* times = m_program->times();
    if (!times || times->size() >= KV_Settings_Clock::MAX_TIMES)
        return;
    KV_Clock_Time time;
    time.m_str_name = QStringLiteral("Schaltzeit %1").arg(times->size() + 1).toStdString();
    times->push_back(time);
    m_program->commit();
    refresh();
    // A new time is there to be set.
    m_editor->edit(int(times->size()) - 1);
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

// ---------------------------------------------------------------- presets

void CKV_Gui_Control_App_Overlay_Timer::tumbler_changed()
{
    m_program->commit();
    refresh();
}

QStringList CKV_Gui_Control_App_Overlay_Timer::preset_names() const
{
    QStringList names;
    for (const KV_Time_Preset& preset : m_presets)
        names << preset.name;
    return names;
}

void CKV_Gui_Control_App_Overlay_Timer::recall_preset(int index)
{
    std::vector<KV_Clock_Time>* times = m_program->times();
    if (!times || index < 0 || size_t(index) >= m_presets.size())
        return;
    const std::vector<KV_Clock_Time>& recalled = m_presets[size_t(index)].times;
    times->assign(recalled.begin(), recalled.begin() + std::min(recalled.size(), KV_Settings_Clock::MAX_TIMES));
    tumbler_changed();
}

void CKV_Gui_Control_App_Overlay_Timer::store_preset(const QString& name)
{
    const std::vector<KV_Clock_Time>* times = m_program->times();
    if (!times)
        return;
    const auto same = std::find_if(m_presets.begin(), m_presets.end(),
                                   [&name](const KV_Time_Preset& preset) { return preset.name == name; });
    if (same != m_presets.end())
        same->times = *times;
    else if (m_presets.size() < KV_Time_Presets::MAX_PRESETS)
        m_presets.push_back({name, *times});
    else
        return;
    KV_Time_Presets::save(m_program->guid(), m_presets);
}

void CKV_Gui_Control_App_Overlay_Timer::remove_preset(int index)
{
    if (index < 0 || size_t(index) >= m_presets.size())
        return;
    m_presets.erase(m_presets.begin() + index);
    KV_Time_Presets::save(m_program->guid(), m_presets);
}
