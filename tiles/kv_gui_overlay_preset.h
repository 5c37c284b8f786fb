#pragma once
// Overlays that edit settings: the settings panels hand every turned value
// on at once; the preset panels also keep named presets of their state in
// a preset list.

#include <QStringList>
#include <QWidget>

#include "kv_gui_tile_overlay.h"

class QLabel;
class QScrollArea;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// A panel whose values the user turns: each change is handed on at once.
class ITumblerObjectInterface {
public:
    virtual ~ITumblerObjectInterface() = default;
    virtual void tumbler_changed() = 0;
};

// A panel that keeps named presets of its state.
class IPresetWidgetInterface {
public:
    virtual ~IPresetWidgetInterface() = default;
    virtual QStringList preset_names() const = 0;
    virtual void recall_preset(int index) = 0;
    // Appends the current state as a preset with that name.
    virtual void store_preset(const QString& name) = 0;
    virtual void remove_preset(int index) = 0;
};

// The presets of a panel, one button each with a button that removes it,
// a name field and the button that stores the current state.
class CKV_Gui_Overlay_Preset_List : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* EMPTY_TEXT = "Keine Voreinstellung vorhanden.";

    CKV_Gui_Overlay_Preset_List(IPresetWidgetInterface& presets, QWidget* parent);

    // Rebuilds the rows from the panel's presets.
    void refresh();

    QList<QPushButton*> rows() const;
    QLabel* empty_label() const { return m_empty; }
    QLineEdit* name_field() const { return m_name; }
    QPushButton* store_button() const { return m_store; }

private:
    void store();

    IPresetWidgetInterface& m_presets;
    QWidget* m_list = nullptr;
    QVBoxLayout* m_list_layout = nullptr;
    QLabel* m_empty = nullptr;
    QLineEdit* m_name = nullptr;
    QPushButton* m_store = nullptr;
};

class CKV_Gui_Control_Tile_Overlay_Settings_Base : public CKV_Gui_Control_Tile_Overlay_Base,
                                                   public ITumblerObjectInterface {
    Q_OBJECT
public:
    using CKV_Gui_Control_Tile_Overlay_Base::CKV_Gui_Control_Tile_Overlay_Base;
};

class CKV_Gui_Control_Tile_Overlay_Preset_Base : public CKV_Gui_Control_Tile_Overlay_Base,
                                                 public ITumblerObjectInterface,
                                                 public IPresetWidgetInterface {
    Q_OBJECT
public:
    explicit CKV_Gui_Control_Tile_Overlay_Preset_Base(QWidget* page);

    CKV_Gui_Overlay_Preset_List* preset_list() const { return m_preset_list; }

private:
    CKV_Gui_Overlay_Preset_List* m_preset_list;
};

// Dark panels: light text, a title in the panel font, finger-sized buttons.
void kv_style_panel(QWidget* panel);
QLabel* kv_panel_title(const QString& text, QWidget* parent);
// A heading inside a panel (the style sheets keep it light on the dark panel).
QLabel* kv_panel_label(const QString& text, QWidget* parent);
// A transparent scroll area around content, scrolled by finger as well.
QScrollArea* kv_panel_scroll(QWidget* content, QWidget* parent);
inline constexpr int KV_PANEL_TOUCH_HEIGHT = 56;
