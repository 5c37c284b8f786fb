#pragma once
// The overlays of a time program: the list of its switching times with the
// button that adds one and the named presets of the whole set, and the
// editor of one time, which stores it or, after asking, deletes it. A time
// program is a clock of the project or the heating program a room
// controller block keeps.

#include <memory>
#include <vector>

#include "kv_clock_model.h"
#include "kv_gui_overlay_preset.h"
#include "kv_time_presets.h"

class CKV_Gui_Clock_Time_Form;
class QLabel;
class QMessageBox;
class QPushButton;
class QVBoxLayout;

class KV_Time_Program {
public:
    virtual ~KV_Time_Program() = default;
    // The clock's or the block's GUID, which its presets are kept under.
    virtual std::string guid() = 0;
    // The times; null while the program does not exist.
    virtual std::vector<KV_Clock_Time>* times() = 0;
    // Hands the changed times on: the app's copy keeps them, the controller
    // gets them.
    virtual void commit() = 0;
    virtual KV_Time_Choices choices() = 0;
    // The value of a time as its list row shows it.
    virtual QString value_text(const KV_Clock_Time& time) = 0;
};

// Edits one switching time; "Fertig" stores and sends it and closes,
// "Löschen" asks first, then removes the time.
class CKV_Gui_Overlay_Shift_Time_Edit : public CKV_Gui_Control_Tile_Overlay_Settings_Base {
    Q_OBJECT
public:
    CKV_Gui_Overlay_Shift_Time_Edit(KV_Time_Program& program, QWidget* page);

    // Slides in with time `index` of the program.
    void edit(int index);
    // The form's time into the program, which sends it.
    void tumbler_changed() override;
    // Asks whether the time shall go; removes it on "Ja".
    void ask_remove();

    int index() const { return m_index; }
    CKV_Gui_Clock_Time_Form* form() const { return m_form; }
    QPushButton* done_button() const { return m_done; }
    QPushButton* remove_button() const { return m_remove; }
    QMessageBox* question() const { return m_question; }

signals:
    void committed();

private:
    KV_Time_Program& m_program;
    int m_index = -1;
    QLabel* m_title = nullptr;
    CKV_Gui_Clock_Time_Form* m_form = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_done = nullptr;
    QMessageBox* m_question = nullptr;
};

// The switching times of a program, one button each, the button that adds
// one, and the presets: the whole set of times stored under a name in this
// panel, and recalled in place of the program's times.
class CKV_Gui_Control_App_Overlay_Timer : public CKV_Gui_Control_Tile_Overlay_Preset_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Overlay_Timer(std::unique_ptr<KV_Time_Program> program, QWidget* page);

    // Opening shows the program and its presets as they are now.
    void set_visible_animated(bool visible) override;
    // Rebuilds the list from the program.
    void refresh();
    // Appends "Schaltzeit <count + 1>" and sends the program.
    void add_time();

    // Sends the changed program and shows it.
    void tumbler_changed() override;
    QStringList preset_names() const override;
    // The preset's times replace the program's, which is sent.
    void recall_preset(int index) override;
    // Stores the program's times under that name, over a preset of the same name.
    void store_preset(const QString& name) override;
    void remove_preset(int index) override;

    QStringList row_texts() const;
    QList<QPushButton*> rows() const;
    QLabel* empty_label() const { return m_empty; }
    QPushButton* add_button() const { return m_add; }
    CKV_Gui_Overlay_Shift_Time_Edit* editor() const { return m_editor; }
    KV_Time_Program& program() const { return *m_program; }

private:
    std::unique_ptr<KV_Time_Program> m_program;
    std::vector<KV_Time_Preset> m_presets;
    QWidget* m_list = nullptr;
    QVBoxLayout* m_list_layout = nullptr;
    QLabel* m_empty = nullptr;
    QPushButton* m_add = nullptr;
    CKV_Gui_Overlay_Shift_Time_Edit* m_editor = nullptr;
};
