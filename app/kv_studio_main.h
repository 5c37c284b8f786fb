#pragma once
// Base of the main windows: owns the process-wide project store, settings
// object and network client, keeps the interface language, the screen data
// and the style probes, and receives the client's reports.

#include <QMainWindow>
#include <QSize>
#include <QString>
#include <QVector>
#include <memory>

#include "kv_addr_tgm.h"
#include "kv_metatypes.h"
#include "kv_network_msg.h"
#include "kv_routes.h"

class CKV_Dlg_Settings;
class CKV_GUITranslator;
class CKV_Project_Db;
class CKV_Studio_Network_Client;
class QAction;

class CKV_Studio_Main : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* LANGUAGE_SCOPE = "Global";
    static constexpr const char* RESTART_MESSAGE = "Anwendung muss neu gestartet werden damit Änderungen wirksam werden";
    static constexpr const char* QUICK_SUPPORT_PROGRAM = "TeamViewerQS.exe";
    static constexpr int QUICK_SUPPORT_WAIT_MS = 30000;

    explicit CKV_Studio_Main(QWidget* parent = nullptr);
    ~CKV_Studio_Main() override;

    CKV_Project_Db& project() const { return *m_project; }
    CKV_Dlg_Settings& settings() const { return *m_settings; }
    CKV_Studio_Network_Client& client() const { return *m_client; }
    // Visualisation texts of the open project in the visualisation language.
    CKV_GUITranslator& translator() const { return *m_translator; }

    const QString& language_main() const { return m_str_language_main; }
    const QString& language_usr() const { return m_str_language_usr; }
    // Stores the languages; written to the "Global" scope when they changed.
    // The interface language takes effect at the next start.
    void set_languages(const QString& main, const QString& usr);

    int screen_orientation() const { return m_screen_orientation; }
    QSize screen_size() const { return m_screen_size; }
    int base_size() const { return m_base_size; }
    // The page orientation in force (KV_ORIENTATION_*).
    int page_orientation() const { return m_orientation; }
    void set_orientation(int orientation);

    bool is_run_mode() const { return m_run_mode; }
    quint32 timeout_1() const { return m_timeout_1; }
    quint32 timeout_2() const { return m_timeout_2; }

    // The hidden widget carrying the style property "kv_style" = name; its
    // palette holds the colours the style sheet gives that name.
    QWidget* style_probe(const QString& name) const;

    // Periodic work: code 1000 every second, 10000 every ten seconds.
    virtual void tick(int code);

signals:
    void stylesheet_App_Changed(int index);

public slots:
    virtual void slot_onConnectClient(bool fconnected, KV_Routes::_route route);
    virtual void slot_onDataReadClient(CKV_Network_Msg* msg, uchar* data);
    void slot_onDataReadClient(const KV_Addr_Tgm& tgm);
    void slot_orientationChanged(Qt::ScreenOrientation orientation);
    void slot_extras_lang(QAction* action);
    void slot_help_quick();

protected:
    // Hands a received telegram on; the base only stores it in the address tree.
    virtual void on_telegram(const KV_Addr_Tgm& telegram);
    // Called after the page orientation changed.
    virtual void on_orientation_changed() {}
    // Information box titled "kirovantor3" with one OK button.
    virtual void show_information(const QString& text);
    // Loads the translations of the two languages for the open project.
    void apply_language();

    bool m_run_mode = false;

private:
    void read_screen();
    void create_style_probes();

    QString m_str_language_main;
    QString m_str_language_usr;
    int m_screen_orientation = 2;
    QSize m_screen_size;
    int m_base_size = 0;
    int m_orientation = 2;
    quint32 m_timeout_1 = 1000000;
    quint32 m_timeout_2 = 5000000;

    std::unique_ptr<CKV_Project_Db> m_project;
    CKV_Dlg_Settings* m_settings = nullptr;
    CKV_Studio_Network_Client* m_client = nullptr;
    CKV_GUITranslator* m_translator = nullptr;
    QVector<QWidget*> m_style_probes;
};
