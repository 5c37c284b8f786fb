#include "kv_gui_overlay_preset.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScroller>
#include <QVBoxLayout>

#include "kv_touch.h"

void kv_style_panel(QWidget* panel)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    panel->setPalette(palette);
}

QScrollArea* kv_panel_scroll(QWidget* content, QWidget* parent)
{
    auto* scroll = new QScrollArea(parent);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->viewport()->setAutoFillBackground(false);
    QScroller::grabGesture(scroll->viewport(), QScroller::TouchGesture);
    content->setAutoFillBackground(false);
    scroll->setWidget(content);
    return scroll;
}

QLabel* kv_panel_label(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("kv_panel_label"));
    return label;
}

QLabel* kv_panel_title(const QString& text, QWidget* parent)
{
    auto* title = new QLabel(text, parent);
    title->setObjectName(QStringLiteral("kv_panel_title"));
    QFont font(QStringLiteral("Graphik Medium"));
    font.setPixelSize(24);
    title->setFont(font);
    title->setMinimumHeight(40);
    return title;
}

// ---------------------------------------------------------------- preset list

CKV_Gui_Overlay_Preset_List::CKV_Gui_Overlay_Preset_List(IPresetWidgetInterface& presets, QWidget* parent)
    : QWidget(parent)
    , m_presets(presets)
{
    setObjectName(QStringLiteral("kv_preset_list"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(kv_panel_label(tr("Voreinstellungen"), this));

    m_list = new QWidget;
    m_list_layout = new QVBoxLayout(m_list);
    m_list_layout->setContentsMargins(0, 0, 0, 0);
    m_list_layout->addStretch();
    column->addWidget(kv_panel_scroll(m_list, this), 1);

    m_empty = kv_panel_label(QString::fromUtf8(EMPTY_TEXT), this);
    m_empty->setAlignment(Qt::AlignCenter);
    column->addWidget(m_empty);

    auto* store_row = new QHBoxLayout;
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("kv_preset_name"));
    m_name->setPlaceholderText(tr("Name"));
    m_name->setMinimumHeight(KV_FINGER_PX);
    m_store = new QPushButton(tr("Speichern"), this);
    m_store->setObjectName(QStringLiteral("kv_preset_store"));
    m_store->setMinimumHeight(KV_FINGER_PX);
    store_row->addWidget(m_name, 1);
    store_row->addWidget(m_store);
    column->addLayout(store_row);
    connect(m_store, &QPushButton::clicked, this, &CKV_Gui_Overlay_Preset_List::store);
}

QList<QPushButton*> CKV_Gui_Overlay_Preset_List::rows() const
{
    return m_list->findChildren<QPushButton*>(QStringLiteral("kv_preset_row"));
}

void CKV_Gui_Overlay_Preset_List::refresh()
{
    while (m_list_layout->count() > 1) {
        QLayoutItem* item = m_list_layout->takeAt(0);
        delete item->widget();
        delete item;
    }
    const QStringList names = m_presets.preset_names();
    for (int i = 0; i < names.size(); ++i) {
        auto* row = new QWidget(m_list);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        auto* recall = new QPushButton(names[i], row);
        recall->setObjectName(QStringLiteral("kv_preset_row"));
        recall->setMinimumHeight(KV_FINGER_PX);
        auto* remove = new QPushButton(QStringLiteral("×"), row);
        remove->setObjectName(QStringLiteral("kv_preset_remove"));
        remove->setFixedSize(KV_FINGER_PX, KV_FINGER_PX);
        line->addWidget(recall, 1);
        line->addWidget(remove);
        m_list_layout->insertWidget(i, row);
        connect(recall, &QPushButton::clicked, this, [this, i] { m_presets.recall_preset(i); });
        // Removing rebuilds the rows: leave the button's own signal first.
        connect(remove, &QPushButton::clicked, this, [this, i] {
            QMetaObject::invokeMethod(this, [this, i] {
                m_presets.remove_preset(i);
                refresh();
            }, Qt::QueuedConnection);
        });
    }
    m_empty->setVisible(names.isEmpty());
}

void CKV_Gui_Overlay_Preset_List::store()
{
    const QString name = m_name->text().trimmed();
    m_presets.store_preset(name.isEmpty() ? tr("Voreinstellung %1").arg(m_presets.preset_names().size() + 1) : name);
    m_name->clear();
    refresh();
}

// ---------------------------------------------------------------- bases

CKV_Gui_Control_Tile_Overlay_Preset_Base::CKV_Gui_Control_Tile_Overlay_Preset_Base(QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Base(page)
    , m_preset_list(new CKV_Gui_Overlay_Preset_List(*this, this))
{
}
