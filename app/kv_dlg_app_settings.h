#pragma once
#include <QWidget>

class CKV_Dlg_Settings;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The app's own settings form (view 2 of the app window): light or dark
// style, push messages, keeping the screen on, the interface language and
// the working directory.
class CKV_Dlg_App_Settings : public QWidget
{
    Q_OBJECT

public:
    // `language` is the current user-interface language, "de" or "en".
    CKV_Dlg_App_Settings(CKV_Dlg_Settings& settings, const QString& language, QWidget* parent = nullptr);

    // Push messages need a controller: without a connection the toggle shows off.
    void set_connected(bool connected);
    // The controller's state of its push messages (message 1103).
    void set_push(bool on);
    bool is_push_on() const;
    // A further group of rows, below the others.
    void add_group(QWidget* group);

    static constexpr const char* RESTART_HINT_DE = "App muss neu gestartet werden damit die Änderungen wirksam werden";
    static constexpr const char* RESTART_BUTTON_DE = "App Schließen";
    static constexpr const char* RESTART_HINT_EN = "App must be restarted for changes to take effect";
    static constexpr const char* RESTART_BUTTON_EN = "Close App";

protected:
    // The folder the user picks, empty when cancelled.
    virtual QString choose_directory(const QString& current);
    // A message box titled "kirovantor3".
    virtual void show_message(const QString& text);

signals:
    // The user chose the interface language "de" or "en"; the main window
    // stores it (visualisation language emptied), effective at the next start.
    void language_chosen(const QString& language);
    void push_changed(bool on);
    void stay_active_changed(bool on);
    // The user chose the app style (0 light, 1 dark).
    void style_chosen(int index);

private:
    void choose_language(const QString& language);
    void choose_working_dir();
    void show_restart_hint(bool english);

    CKV_Dlg_Settings& m_settings;
    QRadioButton* m_radioButton_light = nullptr;
    QRadioButton* m_radioButton_dark = nullptr;
    QCheckBox* m_checkBox_push = nullptr;
    QCheckBox* m_checkBox_stay_active = nullptr;
    QRadioButton* m_radioButton_de = nullptr;
    QRadioButton* m_radioButton_en = nullptr;
    QLabel* m_label_working_dir = nullptr;
    QPushButton* m_pushButton_working_dir = nullptr;
    QLabel* m_label_restart = nullptr;
    QPushButton* m_pushButton_restart = nullptr;
};
