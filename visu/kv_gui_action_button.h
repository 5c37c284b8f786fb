#pragma once
// Buttons that do one thing when clicked or when a telegram on their trigger
// address fires ("Trigger": click only, every telegram, rising or falling
// edge): start a program, play a sound, end the application.

#include <QTemporaryFile>
#include <memory>

#include "kv_gui_triggered.h"

class CKV_Gui_Control_Button_Action : public CKV_Gui_Control_Triggered {
    Q_OBJECT
public:
    using CKV_Gui_Control_Triggered::CKV_Gui_Control_Triggered;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws its pressed face itself.
    QRect pressed_area() const override { return {}; }
    virtual QString label() const;
};

class CKV_Gui_Control_Button_Startapp : public CKV_Gui_Control_Button_Action {
    Q_OBJECT
public:
    using CKV_Gui_Control_Button_Action::CKV_Gui_Control_Button_Action;
    // The program parameter of the platform this runs on; "Programm
    // Allgemein" where that one is empty.
    QString program() const;

protected:
    void act() override;
};

// Plays the stored "Audio" file with the platform's media player, so every
// format it decodes (WAV, MP3, Ogg ...) plays.
class CKV_Gui_Control_Button_Sound : public CKV_Gui_Control_Button_Action {
    Q_OBJECT
public:
    CKV_Gui_Control_Button_Sound(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    ~CKV_Gui_Control_Button_Sound() override;
    void apply_record() override;
    // The temporary copy of the stored sound the player reads, with the
    // stored name's suffix; empty when the project has no such file.
    QString sound_file() const;
    int plays() const { return m_plays; }

protected:
    void act() override;

private:
    void release_player();

    QString m_audio;
    std::unique_ptr<QTemporaryFile> m_file;
    bool m_playing = false; // this button gave the shared player its source
    int m_plays = 0;
};

class CKV_Gui_Control_Button_Exit : public CKV_Gui_Control_Button_Action {
    Q_OBJECT
public:
    using CKV_Gui_Control_Button_Action::CKV_Gui_Control_Button_Action;

protected:
    void act() override;
    QString label() const override { return param("Text"); }
};
