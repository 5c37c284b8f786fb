#include "kv_gui_color_sequence.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "kv_gui_classic_popup.h"
#include "kv_gui_container.h"
#include "kv_network_msg.h"
#include "kv_touch.h"
#include "kv_visu_host.h"

namespace {
QPushButton* panel_button(const QString& text, const char* name, QWidget* parent, bool checkable = false)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumHeight(KV_PANEL_TOUCH_HEIGHT);
    button->setCheckable(checkable);
    return button;
}

// The colour a step shows: orange mixed in as the light would.
QColor step_color(const KV_Sequence_Step& step, bool with_white)
{
    const double orange = step.orange / 100.0;
    const double white = with_white ? step.color.white / 100.0 : 0.0;
    const auto mix = [&](double channel, double orange_part) {
        return std::min(1.0, channel / 100.0 + orange * orange_part + white);
    };
    return QColor::fromRgbF(mix(step.color.red, 1.0), mix(step.color.green, 0.65), mix(step.color.blue, 0.0));
}
} // namespace

// ---------------------------------------------------------------- step editor

CKV_Gui_Overlay_Sequence_Color_Edit::CKV_Gui_Overlay_Sequence_Color_Edit(QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Settings_Base(page)
    , m_editor(new CKV_Gui_Color_Editor(this))
    , m_orange(new CKV_Gui_Control_Widget_Gradient_Slider(this))
    , m_time(panel_button({}, "kv_step_time", this))
    , m_soft(panel_button(tr("Weich"), "kv_step_soft", this, true))
    , m_hard(panel_button(tr("Hart"), "kv_step_hard", this, true))
    , m_remove(panel_button(tr("Entfernen"), "kv_step_remove", this))
    , m_done(panel_button(tr("Fertig"), "kv_step_done", this))
{
    setObjectName(QStringLiteral("kv_sequence_step_edit"));
    kv_style_panel(this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(68, 16, 24, 24);
    row->setSpacing(24);
    auto* left = new QVBoxLayout;
    left->addWidget(kv_panel_title(tr("Schritt"), this));
    left->addWidget(m_editor, 1);
    left->addWidget(kv_panel_label(tr("Orange"), this));
    m_orange->set_colors(Qt::black, QColor(255, 165, 0));
    left->addWidget(m_orange);
    row->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    right->addWidget(kv_panel_label(tr("Zeit"), this));
    right->addWidget(m_time);
    auto* change = new QHBoxLayout;
    change->addWidget(m_soft);
    change->addWidget(m_hard);
    right->addLayout(change);
    right->addStretch();
    right->addWidget(m_remove);
    right->addWidget(m_done);
    row->addLayout(right, 2);

    connect(m_editor, &CKV_Gui_Color_Editor::changed, this, [this] { tumbler_changed(); });
    connect(m_orange, &CKV_Gui_Control_Widget_Gradient_Slider::released, this, [this] { tumbler_changed(); });
    connect(m_soft, &QPushButton::clicked, this, [this] {
        m_step.hard = false;
        show_step();
    });
    connect(m_hard, &QPushButton::clicked, this, [this] {
        m_step.hard = true;
        show_step();
    });
    connect(m_time, &QPushButton::clicked, this, [this] {
        auto* keypad = new CKV_Gui_Control_Popup_Number(QStringLiteral("kv_popup_step_time"), tr("Zeit"), m_step.seconds,
                                                        {0, 3600, 1.0, QStringLiteral("s")}, window());
        connect(keypad, &CKV_Gui_Control_Popup_Number::accepted, this, &CKV_Gui_Overlay_Sequence_Color_Edit::set_seconds);
        keypad->show_over_window();
    });
    connect(m_done, &QPushButton::clicked, this, [this] {
        set_visible_animated(false);
        emit finished(m_step);
    });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        set_visible_animated(false);
        emit removed();
    });
}

QString CKV_Gui_Overlay_Sequence_Color_Edit::time_text(double seconds)
{
    const int whole = int(std::lround(std::max(0.0, seconds)));
    return QStringLiteral("%1:%2").arg(whole / 60, 2, 10, QLatin1Char('0')).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

void CKV_Gui_Overlay_Sequence_Color_Edit::edit(const KV_Sequence_Step& step)
{
    m_step = step;
    m_editor->show_color(step.color);
    m_orange->set_value(step.orange);
    show_step();
    set_visible_animated(true);
}

void CKV_Gui_Overlay_Sequence_Color_Edit::tumbler_changed()
{
    m_step.color = m_editor->color();
    m_step.orange = m_orange->value();
}

void CKV_Gui_Overlay_Sequence_Color_Edit::set_seconds(double seconds)
{
    m_step.seconds = std::clamp(std::round(seconds), 0.0, 3600.0);
    show_step();
}

void CKV_Gui_Overlay_Sequence_Color_Edit::show_step()
{
    m_time->setText(time_text(m_step.seconds));
    m_soft->setChecked(!m_step.hard);
    m_hard->setChecked(m_step.hard);
}

// ---------------------------------------------------------------- sequence overlay

CKV_Gui_Control_App_Overlay_Sequence_Colors::CKV_Gui_Control_App_Overlay_Sequence_Colors(
    CKV_Gui_Control_App_RGBW_SEQU& control, QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Settings_Base(page)
    , m_control(control)
    , m_chooser(new QComboBox(this))
    , m_add(panel_button(tr("Schritt hinzufügen"), "kv_sequence_add_step", this))
    , m_start(panel_button(tr("Starten"), "kv_sequence_start", this))
    , m_stop(panel_button(tr("Stoppen"), "kv_sequence_stop", this))
    , m_done(panel_button(tr("Fertig"), "kv_sequence_done", this))
{
    setObjectName(QStringLiteral("kv_overlay_sequence"));
    kv_style_panel(this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(68, 16, 24, 24);
    auto* head = new QHBoxLayout;
    head->addWidget(kv_panel_title(m_control.text_param("Text"), this), 1);
    m_chooser->setObjectName(QStringLiteral("kv_sequence_choice"));
    kv_touch_combo(m_chooser);
    head->addWidget(m_chooser);
    auto* add_sequence = panel_button(tr("Neue Sequenz"), "kv_sequence_new", this);
    head->addWidget(add_sequence);
    column->addLayout(head);

    m_list = new QWidget;
    m_list_layout = new QVBoxLayout(m_list);
    m_list_layout->addStretch();
    column->addWidget(kv_panel_scroll(m_list, this), 1);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_add, m_start, m_stop, m_done})
        buttons->addWidget(button);
    column->addLayout(buttons);

    connect(m_chooser, &QComboBox::activated, this, &CKV_Gui_Control_App_Overlay_Sequence_Colors::choose_sequence);
    connect(add_sequence, &QPushButton::clicked, this, &CKV_Gui_Control_App_Overlay_Sequence_Colors::add_sequence);
    connect(m_add, &QPushButton::clicked, this, &CKV_Gui_Control_App_Overlay_Sequence_Colors::add_step);
    connect(m_start, &QPushButton::clicked, this,
            [this] { m_control.start(m_sequence + 1, m_sequences[size_t(m_sequence)]); });
    connect(m_stop, &QPushButton::clicked, this, [this] { m_control.stop(); });
    connect(m_done, &QPushButton::clicked, this, [this] { set_visible_animated(false); });

    // The step editor slides in over the list.
    m_editor = new CKV_Gui_Overlay_Sequence_Color_Edit(this);
    connect(m_editor, &CKV_Gui_Overlay_Sequence_Color_Edit::finished, this, [this](const KV_Sequence_Step& step) {
        auto& steps = m_sequences[size_t(m_sequence)];
        if (m_editing >= 0 && size_t(m_editing) < steps.size())
            steps[size_t(m_editing)] = step;
        tumbler_changed();
    });
    connect(m_editor, &CKV_Gui_Overlay_Sequence_Color_Edit::removed, this, [this] {
        auto& steps = m_sequences[size_t(m_sequence)];
        if (m_editing >= 0 && size_t(m_editing) < steps.size())
            steps.erase(steps.begin() + m_editing);
        tumbler_changed();
    });
}

void CKV_Gui_Control_App_Overlay_Sequence_Colors::open()
{
    load_block();
    // Shows the sequence the control last ran, when it still exists.
    const int number = int(m_control.entry_value(CKV_Gui_Control_App_RGBW_SEQU::NUMBER));
    m_sequence = number >= 1 && size_t(number) <= m_sequences.size() ? number - 1 : 0;
    refresh();
    if (!m_block.m_str_guid.empty() && m_control.host().is_connected())
        m_control.host().send_text(kv_msg::BLOCK_SHOWN, m_block.encode());
    set_visible_animated(true);
}

void CKV_Gui_Control_App_Overlay_Sequence_Colors::load_block()
{
    if (const KV_LOGIC_Control* block = m_control.linked_block())
        m_block = *block;
    m_sequences = CTRL_Settings_RGBW_SEQU(m_block).m_sequences;
    m_sequence = std::min(m_sequence, int(m_sequences.size()) - 1);
    refresh();
}

void CKV_Gui_Control_App_Overlay_Sequence_Colors::tumbler_changed()
{
    CTRL_Settings_RGBW_SEQU settings(m_block);
    settings.m_sequences = m_sequences;
    settings.write_to(m_block);
    KV_Visu_Host& host = m_control.host();
    host.store_logic_block(m_block);
    if (host.is_connected())
        host.send_text(kv_msg::BLOCK_CHANGED, m_block.encode());
    refresh();
}

void CKV_Gui_Control_App_Overlay_Sequence_Colors::choose_sequence(int index)
{
    if (index < 0 || size_t(index) >= m_sequences.size())
        return;
    m_sequence = index;
    refresh();
}

void CKV_Gui_Control_App_Overlay_Sequence_Colors::add_sequence()
{
    if (m_sequences.size() >= CTRL_Settings_RGBW_SEQU::MAX_SEQUENCES)
        return;
    m_sequences.push_back(CTRL_Settings_RGBW_SEQU::default_sequence());
    m_sequence = int(m_sequences.size()) - 1;
    tumbler_changed();
}

void CKV_Gui_Control_App_Overlay_Sequence_Colors::add_step()
{
    auto& steps = m_sequences[size_t(m_sequence)];
    if (steps.size() >= CTRL_Settings_RGBW_SEQU::MAX_STEPS)
        return;
    // A new step starts as a copy of the last one.
    steps.push_back(steps.empty() ? KV_Sequence_Step{{100, 100, 100, 0}} : steps.back());
    tumbler_changed();
    edit_step(int(steps.size()) - 1);
}

void CKV_Gui_Control_App_Overlay_Sequence_Colors::edit_step(int index)
{
    const auto& steps = m_sequences[size_t(m_sequence)];
    if (index < 0 || size_t(index) >= steps.size())
        return;
    m_editing = index;
    m_editor->edit(steps[size_t(index)]);
}

void CKV_Gui_Control_App_Overlay_Sequence_Colors::refresh()
{
    m_chooser->clear();
    for (size_t i = 0; i < m_sequences.size(); ++i)
        m_chooser->addItem(tr("Sequenz %1").arg(i + 1));
    m_chooser->setCurrentIndex(m_sequence);
    for (QPushButton* row : rows())
        delete row;
    const auto& steps = m_sequences[size_t(m_sequence)];
    for (size_t i = 0; i < steps.size(); ++i) {
        const KV_Sequence_Step& step = steps[i];
        auto* row = new QPushButton(tr("Schritt %1").arg(i + 1) + QStringLiteral("   ") +
                                        CKV_Gui_Overlay_Sequence_Color_Edit::time_text(step.seconds) +
                                        QStringLiteral("   ") + (step.hard ? tr("Hart") : tr("Weich")),
                                    m_list);
        row->setObjectName(QStringLiteral("kv_sequence_row"));
        row->setMinimumHeight(KV_PANEL_TOUCH_HEIGHT);
        QPixmap swatch(32, 32);
        swatch.fill(step_color(step, true));
        row->setIcon(QIcon(swatch));
        row->setIconSize(QSize(32, 32));
        m_list_layout->insertWidget(m_list_layout->count() - 1, row);
        connect(row, &QPushButton::clicked, this, [this, i] { edit_step(int(i)); });
    }
    m_add->setEnabled(steps.size() < CTRL_Settings_RGBW_SEQU::MAX_STEPS);
    m_start->setEnabled(!steps.empty());
}

QList<QPushButton*> CKV_Gui_Control_App_Overlay_Sequence_Colors::rows() const
{
    return m_list->findChildren<QPushButton*>(QStringLiteral("kv_sequence_row"), Qt::FindDirectChildrenOnly);
}

QStringList CKV_Gui_Control_App_Overlay_Sequence_Colors::row_texts() const
{
    QStringList texts;
    for (const QPushButton* row : rows())
        texts << row->text();
    return texts;
}

// ---------------------------------------------------------------- control

CKV_Gui_Control_App_RGBW_SEQU::CKV_Gui_Control_App_RGBW_SEQU(CKV_Gui_Control_Container* canvas,
                                                             const KV_GUI_Control& record)
    : CKV_Gui_Control_App_Color_Base(canvas, record, RED)
{
}

CKV_Gui_Control_App_RGBW_SEQU::~CKV_Gui_Control_App_RGBW_SEQU()
{
    delete m_overlay;
}

void CKV_Gui_Control_App_RGBW_SEQU::on_release(const QPoint&)
{
    if (!check_link())
        return;
    if (!m_overlay)
        m_overlay = new CKV_Gui_Control_App_Overlay_Sequence_Colors(*this, canvas()->scroll_area());
    m_overlay->open();
}

void CKV_Gui_Control_App_RGBW_SEQU::start(int number, const std::vector<KV_Sequence_Step>& steps)
{
    double duration = 0.0;
    for (const KV_Sequence_Step& step : steps)
        duration += step.seconds;
    m_running_steps = steps;
    m_ticks = 0;
    write_value(NUMBER, number);
    write_value(TIME, duration);
    write_value(START, 1);
    update();
}

void CKV_Gui_Control_App_RGBW_SEQU::stop()
{
    write_value(START, 0);
    update();
}

void CKV_Gui_Control_App_RGBW_SEQU::notify_children(int code)
{
    CKV_Gui_Control_App_Color_Base::notify_children(code);
    if (code == ANIMATION_TICK && running() && param_int("Animation anzeigen") != 0 && !m_running_steps.empty()) {
        ++m_ticks;
        update();
    }
}

QColor CKV_Gui_Control_App_RGBW_SEQU::swatch_color() const
{
    const bool with_white = param_int("Weißkanal darstellen") != 0;
    if (running() && param_int("Animation anzeigen") != 0 && !m_running_steps.empty()) {
        // The step the sequence is at, counted in animation ticks.
        double total = 0.0;
        for (const KV_Sequence_Step& step : m_running_steps)
            total += std::max(1.0, step.seconds);
        double at = std::fmod(m_ticks * ANIMATION_TICK / 1000.0, total);
        for (const KV_Sequence_Step& step : m_running_steps) {
            at -= std::max(1.0, step.seconds);
            if (at < 0)
                return step_color(step, with_white);
        }
    }
    const auto level = [this](int slot) { return std::clamp(entry_value(slot), 0.0, 100.0); };
    return step_color({{level(RED), level(RED + 1), level(RED + 2), level(RED + 3)}, level(ORANGE)}, with_white);
}

void CKV_Gui_Control_App_RGBW_SEQU::block_changed()
{
    if (m_overlay && m_overlay->isVisible())
        m_overlay->load_block();
}

void CKV_Gui_Control_App_RGBW_SEQU::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint_swatch(painter, swatch_color(), running() ? tr("Sequenz %1").arg(entry_value(NUMBER)) : tr("Aus"));
}
