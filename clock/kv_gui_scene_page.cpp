#include "kv_gui_scene_page.h"

#include <QCheckBox>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "kv_addr.h"
#include "kv_gui_container.h"
#include "kv_scene_messages.h"
#include "kv_visu_host.h"

namespace {
const QString SYMBOL_GREY = QStringLiteral(":/images/icons/szene_grau.png");
const QString SYMBOL_WHITE = QStringLiteral(":/images/icons/szene_weiss.png");
const QString ICON_RUN = QStringLiteral(":/images/icons/play_re.png");
const QString ICON_STOP = QStringLiteral(":/images/icons/stop_2.png");

QPushButton* touch_button(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setMinimumHeight(CKV_Gui_Control_App_Scene_Page_Popup_List::ROW_HEIGHT);
    return button;
}

// A view of the panel: a title, rows that scroll, and buttons below.
QVBoxLayout* add_view(QStackedWidget* views, QWidget*& view, QLabel*& title, QVBoxLayout*& rows)
{
    view = new QWidget(views);
    auto* column = new QVBoxLayout(view);
    title = new QLabel(view);
    title->setAlignment(Qt::AlignCenter);
    column->addWidget(title);
    auto* scroll = new QScrollArea(view);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroll);
    rows = new QVBoxLayout(content);
    rows->addStretch();
    scroll->setWidget(content);
    column->addWidget(scroll, 1);
    views->addWidget(view);
    return column;
}

void clear_rows(QVBoxLayout* rows)
{
    // The last item is the stretch that keeps the rows at the top.
    while (rows->count() > 1) {
        QLayoutItem* item = rows->takeAt(0);
        delete item->widget();
        delete item;
    }
}
} // namespace

int kv_scene_take_current_values(KV_Settings_Scene::Scene& scene, const std::vector<bool>& ticked,
                                 const KV_Addr_Tree& tree)
{
    int taken = 0;
    for (size_t i = 0; i < scene.m_list_item.size() && i < ticked.size(); ++i) {
        if (!ticked[i])
            continue;
        KV_Settings_Scene::Item& item = scene.m_list_item[i];
        if (const KV_Addr_Db* address = tree.find_address(item.m_addr)) {
            item.m_value = value_as_double(*address);
            ++taken;
        }
    }
    return taken;
}

KV_Settings_Scene::Scene* kv_find_scene(KV_Settings_Scene& record, const std::string& guid)
{
    for (KV_Settings_Scene::Scene& scene : record.m_list_scene)
        if (scene.m_str_guid == guid)
            return &scene;
    return nullptr;
}

// ---------------------------------------------------------------- configuration view

CKV_Gui_Scene_Config_View::CKV_Gui_Scene_Config_View(QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    m_title = new QLabel(this);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);
    column->addWidget(m_title);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroll);
    m_rows = new QVBoxLayout(content);
    m_rows->addStretch();
    scroll->setWidget(content);
    column->addWidget(scroll, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* save = touch_button(QStringLiteral("Speichern"), "kv_scene_save", this);
    QPushButton* cancel = touch_button(QStringLiteral("Abbrechen"), "kv_scene_cancel", this);
    buttons->addWidget(cancel);
    buttons->addWidget(save);
    column->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &CKV_Gui_Scene_Config_View::confirmed);
    connect(cancel, &QPushButton::clicked, this, &CKV_Gui_Scene_Config_View::cancelled);
}

void CKV_Gui_Scene_Config_View::show_items(const KV_Settings_Scene::Scene& scene, const KV_Addr_Tree& tree)
{
    m_title->setText(QStringLiteral("%1: aktuelle Werte übernehmen").arg(QString::fromStdString(scene.m_str_name)));
    clear_rows(m_rows);
    m_boxes.clear();
    for (const KV_Settings_Scene::Item& item : scene.m_list_item) {
        QString text = QString::fromStdString(address_to_text(item.m_addr));
        if (const KV_Addr_Db* address = tree.find_address(item.m_addr); address && !address->m_str_comment.empty())
            text += QStringLiteral("  ") + QString::fromStdString(address->m_str_comment);
        text += QStringLiteral("  (%1)").arg(item.m_value);
        auto* box = new QCheckBox(text, m_rows->parentWidget());
        box->setObjectName(QStringLiteral("kv_scene_item"));
        box->setMinimumHeight(CKV_Gui_Control_App_Scene_Page_Popup_List::ROW_HEIGHT);
        box->setChecked(true);
        m_rows->insertWidget(m_rows->count() - 1, box);
        m_boxes.append(box);
    }
}

std::vector<bool> CKV_Gui_Scene_Config_View::ticked() const
{
    std::vector<bool> result;
    for (const QCheckBox* box : m_boxes)
        result.push_back(box->isChecked());
    return result;
}

// ---------------------------------------------------------------- list popup

CKV_Gui_Control_App_Scene_Page_Popup_List::CKV_Gui_Control_App_Scene_Page_Popup_List(KV_Visu_Host& host,
                                                                                     bool allow_save, QWidget* area)
    : QWidget(area)
    , m_host(host)
    , m_allow_save(allow_save)
{
    setObjectName(QStringLiteral("kv_scene_popup"));
    setAttribute(Qt::WA_TranslucentBackground);
    hide();

    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("kv_scene_popup_panel"));
    m_panel->setAutoFillBackground(true);
    auto* panel_column = new QVBoxLayout(m_panel);
    m_views = new QStackedWidget(m_panel);
    panel_column->addWidget(m_views, 1);

    QLabel* list_title = nullptr;
    QVBoxLayout* list_column = add_view(m_views, m_list, list_title, m_list_rows);
    list_title->setText(QStringLiteral("Szenen"));
    QPushButton* close = touch_button(QStringLiteral("Schließen"), "kv_scene_close", m_list);
    list_column->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);

    QVBoxLayout* action_rows = nullptr;
    QVBoxLayout* action_column = add_view(m_views, m_actions, m_actions_title, action_rows);
    QPushButton* run = touch_button(QStringLiteral("Ausführen"), "kv_scene_run", m_actions);
    run->setIcon(QIcon(ICON_RUN));
    QPushButton* configure = touch_button(QStringLiteral("Konfigurieren"), "kv_scene_configure", m_actions);
    m_stop = touch_button(QStringLiteral("Stoppen"), "kv_scene_stop", m_actions);
    m_stop->setIcon(QIcon(ICON_STOP));
    action_rows->insertWidget(0, run);
    action_rows->insertWidget(1, m_stop);
    action_rows->insertWidget(2, configure);
    QPushButton* back = touch_button(QStringLiteral("Zurück"), "kv_scene_back", m_actions);
    action_column->addWidget(back);
    connect(run, &QPushButton::clicked, this, &CKV_Gui_Control_App_Scene_Page_Popup_List::run_scene);
    connect(configure, &QPushButton::clicked, this, &CKV_Gui_Control_App_Scene_Page_Popup_List::configure_scene);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        kv_scene_stop(m_host, m_guid);
        hide();
    });
    connect(back, &QPushButton::clicked, this, [this] { m_views->setCurrentWidget(m_list); });

    m_config = new CKV_Gui_Scene_Config_View(m_views);
    m_views->addWidget(m_config);
    connect(m_config, &CKV_Gui_Scene_Config_View::confirmed, this,
            &CKV_Gui_Control_App_Scene_Page_Popup_List::store_configuration);
    connect(m_config, &CKV_Gui_Scene_Config_View::cancelled, this, [this] { m_views->setCurrentWidget(m_actions); });

    if (area)
        area->installEventFilter(this);
}

void CKV_Gui_Control_App_Scene_Page_Popup_List::show_list()
{
    clear_rows(m_list_rows);
    const auto& scenes = m_host.scene_settings().m_list_scene;
    for (size_t i = 0; i < scenes.size(); ++i) {
        QPushButton* row = touch_button(QString::fromStdString(scenes[i].m_str_name), "kv_scene_row",
                                        m_list_rows->parentWidget());
        row->setIcon(QIcon(SYMBOL_GREY));
        m_list_rows->insertWidget(m_list_rows->count() - 1, row);
        connect(row, &QPushButton::clicked, this, [this, i] { choose_scene(static_cast<int>(i)); });
    }
    m_views->setCurrentWidget(m_list);
    if (parentWidget())
        setGeometry(parentWidget()->rect());
    show();
    raise();
    m_host.set_popup_open(true);
}

void CKV_Gui_Control_App_Scene_Page_Popup_List::choose_scene(int index)
{
    const auto& scenes = m_host.scene_settings().m_list_scene;
    if (index < 0 || static_cast<size_t>(index) >= scenes.size())
        return;
    m_guid = scenes[static_cast<size_t>(index)].m_str_guid;
    if (!m_allow_save) {
        run_scene();
        return;
    }
    m_actions_title->setText(QString::fromStdString(scenes[static_cast<size_t>(index)].m_str_name));
    // Only a scene with a stop address can be stopped.
    m_stop->setVisible(!scenes[static_cast<size_t>(index)].m_addr_bit_stop.is_null());
    m_views->setCurrentWidget(m_actions);
}

void CKV_Gui_Control_App_Scene_Page_Popup_List::run_scene()
{
    kv_scene_start(m_host, m_guid);
    hide();
}

void CKV_Gui_Control_App_Scene_Page_Popup_List::configure_scene()
{
    const KV_Settings_Scene::Scene* scene = chosen_scene();
    if (!m_allow_save || !scene)
        return;
    m_config->show_items(*scene, m_host.address_tree());
    m_views->setCurrentWidget(m_config);
}

void CKV_Gui_Control_App_Scene_Page_Popup_List::store_configuration()
{
    KV_Settings_Scene::Scene* scene = chosen_scene();
    if (!m_allow_save || !scene)
        return;
    kv_scene_take_current_values(*scene, m_config->ticked(), m_host.address_tree());
    // The app's copy keeps the change also when the controller is not reachable.
    kv_scene_send_record(m_host, m_guid);
    hide();
}

QWidget* CKV_Gui_Control_App_Scene_Page_Popup_List::current_view() const
{
    return isVisible() ? m_views->currentWidget() : nullptr;
}

KV_Settings_Scene::Scene* CKV_Gui_Control_App_Scene_Page_Popup_List::chosen_scene() const
{
    return m_guid.empty() ? nullptr : kv_find_scene(m_host.scene_settings(), m_guid);
}

bool CKV_Gui_Control_App_Scene_Page_Popup_List::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void CKV_Gui_Control_App_Scene_Page_Popup_List::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_host.set_popup_open(false);
}

void CKV_Gui_Control_App_Scene_Page_Popup_List::mouseReleaseEvent(QMouseEvent* event)
{
    // A tap on the dimmed page beside the panel closes the popup.
    if (!m_panel->geometry().contains(event->position().toPoint()))
        hide();
}

void CKV_Gui_Control_App_Scene_Page_Popup_List::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 120));
}

void CKV_Gui_Control_App_Scene_Page_Popup_List::resizeEvent(QResizeEvent*)
{
    // A centred panel, no wider than a phone held upright, a margin all round.
    const int width = std::min(PANEL_WIDTH, this->width() - 2 * MARGIN);
    m_panel->setGeometry((this->width() - width) / 2, MARGIN, width, height() - 2 * MARGIN);
}

// ---------------------------------------------------------------- page control

CKV_Gui_Control_App_Scene_Page::~CKV_Gui_Control_App_Scene_Page()
{
    delete m_popup;
}

void CKV_Gui_Control_App_Scene_Page::on_release(const QPoint&)
{
    if (!host().run_mode())
        return;
    if (!m_popup) {
        QWidget* area = canvas()->scroll_area();
        m_popup = new CKV_Gui_Control_App_Scene_Page_Popup_List(host(), param_int("Speichern erlauben") != 0,
                                                                 area ? area : window());
    }
    m_popup->show_list();
}

void CKV_Gui_Control_App_Scene_Page::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const int view = param_int("Ansicht");
    if (view != VIEW_GREY) {
        painter.setPen(Qt::NoPen);
        // The light "Vordergrund" text needs the accent face, not the plain one.
        painter.setBrush(shows_pressed() ? btn_cta_active_color() : btn_cta_default_color());
        painter.drawRoundedRect(frame_box(), borderradius(), borderradius());
    }

    // "Icon Abstand": the margin round the symbol as a share of the shorter side.
    const int margin = qRound(std::min(width(), height()) * std::clamp(param_double("Icon Abstand"), 0.0, 0.4));
    QRect text_box = rect().adjusted(margin, margin, -margin, -margin);
    if (param_int("Icon") != 0) {
        const bool stacked = view == VIEW_VERTICAL;
        const int side = stacked ? text_box.height() / 2 : text_box.height();
        const QRect symbol(text_box.topLeft() + QPoint(stacked ? (text_box.width() - side) / 2 : 0, 0),
                           QSize(side, side));
        // Drawn as an icon would be (shrunk to fit, centred), but from the
        // file's shared pixmap: an icon made for each paint would leave a
        // copy in the pixmap cache every time.
        const QPixmap pixmap(view == VIEW_GREY ? SYMBOL_GREY : SYMBOL_WHITE);
        QSize drawn = pixmap.deviceIndependentSize().toSize();
        if (drawn.width() > symbol.width() || drawn.height() > symbol.height())
            drawn.scale(symbol.size(), Qt::KeepAspectRatio);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, drawn, symbol), pixmap);
        if (stacked)
            text_box.setTop(symbol.bottom() + 1);
        else
            text_box.setLeft(symbol.right() + 1 + margin);
    }
    painter.setFont(text_font());
    painter.setPen(view == VIEW_GREY ? or_default(static_text_color(), QColor(0x64, 0x64, 0x64))
                                     : param_color("Vordergrund", QColor(0xF3, 0xF4, 0xF5)));
    painter.drawText(text_box, (view == VIEW_VERTICAL ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextWordWrap,
                     text_param("Text"));
}
