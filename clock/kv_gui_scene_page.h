#pragma once
// The scene page control: a button with the scene symbol that opens the list
// of the project's scenes. There the user starts a scene or, where the page
// allows saving, stores the current state of the installation into one.

#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

#include "kv_gui_control.h"
#include "kv_settings_scene.h"

class KV_Addr_Tree;
class KV_Visu_Host;
class QCheckBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

// Gives every ticked item whose address the tree holds the address's current
// value. `ticked` runs parallel to the items; items beyond it count as not
// ticked. Returns the number of items that took a value.
int kv_scene_take_current_values(KV_Settings_Scene::Scene& scene, const std::vector<bool>& ticked,
                                 const KV_Addr_Tree& tree);

// The scene found by its identifier in the record; null when it has none.
KV_Settings_Scene::Scene* kv_find_scene(KV_Settings_Scene& record, const std::string& guid);

// The items of one scene with a check box each, all ticked at first.
class CKV_Gui_Scene_Config_View : public QWidget {
    Q_OBJECT
public:
    explicit CKV_Gui_Scene_Config_View(QWidget* parent = nullptr);

    void show_items(const KV_Settings_Scene::Scene& scene, const KV_Addr_Tree& tree);
    std::vector<bool> ticked() const;
    const QList<QCheckBox*>& check_boxes() const { return m_boxes; }

signals:
    void confirmed();
    void cancelled();

private:
    QLabel* m_title = nullptr;
    QVBoxLayout* m_rows = nullptr;
    QList<QCheckBox*> m_boxes;
};

// Covers the page's scroll area: a panel with the list of scenes, the two
// actions for the chosen scene and its configuration view.
class CKV_Gui_Control_App_Scene_Page_Popup_List : public QWidget {
    Q_OBJECT
public:
    // Buttons and rows are at least this tall, for fingers.
    static constexpr int ROW_HEIGHT = 64;
    static constexpr int PANEL_WIDTH = 560;
    static constexpr int MARGIN = 20;

    CKV_Gui_Control_App_Scene_Page_Popup_List(KV_Visu_Host& host, bool allow_save, QWidget* area);

    // Lists the scenes of the record as they are now and shows itself.
    void show_list();
    // A tap on the scene at `index` of the list.
    void choose_scene(int index);
    void run_scene();
    void configure_scene();
    // Takes the ticked current values into the chosen scene and sends the record.
    void store_configuration();

    QWidget* current_view() const;
    QWidget* list_view() const { return m_list; }
    QWidget* actions_view() const { return m_actions; }
    CKV_Gui_Scene_Config_View* config_view() const { return m_config; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    KV_Settings_Scene::Scene* chosen_scene() const;

    KV_Visu_Host& m_host;
    bool m_allow_save;
    std::string m_guid; // the chosen scene; found again by it, the record may be replaced meanwhile
    QWidget* m_panel = nullptr;
    QStackedWidget* m_views = nullptr;
    QWidget* m_list = nullptr;
    QVBoxLayout* m_list_rows = nullptr;
    QWidget* m_actions = nullptr;
    QPushButton* m_stop = nullptr;
    QLabel* m_actions_title = nullptr;
    CKV_Gui_Scene_Config_View* m_config = nullptr;
};

class CKV_Gui_Control_App_Scene_Page : public CKV_Gui_Control {
    Q_OBJECT
public:
    // Positions of the "Ansicht" choices.
    enum View { VIEW_GREY = 0, VIEW_HORIZONTAL = 1, VIEW_VERTICAL = 2, VIEW_POPUP = 3 };

    using CKV_Gui_Control::CKV_Gui_Control;
    ~CKV_Gui_Control_App_Scene_Page() override;

    // Opens the list popup.
    void on_release(const QPoint& point) override;
    CKV_Gui_Control_App_Scene_Page_Popup_List* popup() const { return m_popup; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws its pressed face itself.
    QRect pressed_area() const override { return {}; }

private:
    QPointer<CKV_Gui_Control_App_Scene_Page_Popup_List> m_popup;
};
