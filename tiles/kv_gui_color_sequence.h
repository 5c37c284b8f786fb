#pragma once
// The colour sequence control: runs the colour sequences kept in its RGBW
// sequence block. Its overlay lists the steps of a sequence, starts and
// stops it; a step opens the step editor (colour, time, soft or hard).

#include <QPointer>
#include <vector>

#include "kv_color_settings.h"
#include "kv_gui_classic_color.h"
#include "kv_gui_overlay_preset.h"

class QComboBox;
class QPushButton;
class QVBoxLayout;
class CKV_Gui_Control_App_RGBW_SEQU;

// Edits one step; "Fertig" hands it back and closes.
class CKV_Gui_Overlay_Sequence_Color_Edit : public CKV_Gui_Control_Tile_Overlay_Settings_Base {
    Q_OBJECT
public:
    explicit CKV_Gui_Overlay_Sequence_Color_Edit(QWidget* page);

    void edit(const KV_Sequence_Step& step);
    KV_Sequence_Step step() const { return m_step; }
    // The step's time as "%1:%2", minutes and seconds with two digits.
    static QString time_text(double seconds);

    void tumbler_changed() override;

    CKV_Gui_Color_Editor* editor() const { return m_editor; }
    CKV_Gui_Control_Widget_Gradient_Slider* orange() const { return m_orange; }
    QPushButton* time_button() const { return m_time; }
    QPushButton* soft_button() const { return m_soft; }
    QPushButton* hard_button() const { return m_hard; }
    QPushButton* done_button() const { return m_done; }
    QPushButton* remove_button() const { return m_remove; }

    // Sets the time as the keypad does.
    void set_seconds(double seconds);

signals:
    void finished(const KV_Sequence_Step& step);
    void removed();

private:
    void show_step();

    KV_Sequence_Step m_step;
    CKV_Gui_Color_Editor* m_editor;
    CKV_Gui_Control_Widget_Gradient_Slider* m_orange;
    QPushButton* m_time;
    QPushButton* m_soft;
    QPushButton* m_hard;
    QPushButton* m_remove;
    QPushButton* m_done;
};

// The steps of the chosen sequence, the buttons that add a step, start and
// stop the sequence, and "Fertig". Every change of a step is stored in the
// block and sent to the controller at once.
class CKV_Gui_Control_App_Overlay_Sequence_Colors : public CKV_Gui_Control_Tile_Overlay_Settings_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Overlay_Sequence_Colors(CKV_Gui_Control_App_RGBW_SEQU& control, QWidget* page);

    // Reads the block's sequences, sends the block (600) and slides in.
    void open();
    // The block's sequences as the project holds them now.
    void load_block();
    void tumbler_changed() override;

    // Sequence shown (0 = "Sequenz 1").
    int sequence() const { return m_sequence; }
    void choose_sequence(int index);
    void add_sequence();
    void add_step();
    void edit_step(int index);
    const std::vector<std::vector<KV_Sequence_Step>>& sequences() const { return m_sequences; }

    QStringList row_texts() const;
    QList<QPushButton*> rows() const;
    QComboBox* chooser() const { return m_chooser; }
    QPushButton* start_button() const { return m_start; }
    QPushButton* stop_button() const { return m_stop; }
    QPushButton* done_button() const { return m_done; }
    CKV_Gui_Overlay_Sequence_Color_Edit* step_editor() const { return m_editor; }

private:
    void refresh();

    CKV_Gui_Control_App_RGBW_SEQU& m_control;
    KV_LOGIC_Control m_block;
    std::vector<std::vector<KV_Sequence_Step>> m_sequences;
    int m_sequence = 0;
    int m_editing = -1;
    QComboBox* m_chooser;
    QWidget* m_list;
    QVBoxLayout* m_list_layout;
    QPushButton* m_add;
    QPushButton* m_start;
    QPushButton* m_stop;
    QPushButton* m_done;
    CKV_Gui_Overlay_Sequence_Color_Edit* m_editor;
};

// Slots 0 "Sequenz start", 1 "Rot", 2 "Grün", 3 "Blau", 4 "Weiß", 5 "Orange",
// 6 "Sequ. Zeit", 7 "Sequ. Nummer". Starting writes the number, then the
// duration of one run in seconds, then 1 to start; stopping writes 0.
// "Weißkanal darstellen" mixes the white channel into the swatch;
// "Animation anzeigen" lets the swatch run through the steps while the
// sequence runs.
class CKV_Gui_Control_App_RGBW_SEQU : public CKV_Gui_Control_App_Color_Base {
    Q_OBJECT
public:
    enum Slot { START = 0, RED = 1, ORANGE = 5, TIME = 6, NUMBER = 7 };
    static constexpr int ANIMATION_TICK = 100; // the page's animation tick

    CKV_Gui_Control_App_RGBW_SEQU(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    ~CKV_Gui_Control_App_RGBW_SEQU() override;

    void on_release(const QPoint& point) override;
    void notify_children(int code) override;

    bool running() const { return entry_value(START) != 0.0; }
    // `number` counts from 1.
    void start(int number, const std::vector<KV_Sequence_Step>& steps);
    void stop();
    // The colour the swatch shows now.
    QColor swatch_color() const;
    CKV_Gui_Control_App_Overlay_Sequence_Colors* overlay() const { return m_overlay; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void block_changed() override;

private:
    std::vector<KV_Sequence_Step> m_running_steps;
    int m_ticks = 0;
    QPointer<CKV_Gui_Control_App_Overlay_Sequence_Colors> m_overlay;
};
