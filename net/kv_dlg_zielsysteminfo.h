#pragma once
// The status panel of the target dialog: shows that a connection is being
// made, success, the failures of a login and the dialog's own questions and
// input messages. It only shows and reports; the target dialog and the main
// window decide what happens.

#include <QStringList>
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

class CKV_Dlg_App_Zielsysteminfo : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Connecting, Success, Connection_Failed, Project_Failed, Message, Delete_Question, Serial_Choice };

    static inline const QString TEXT_CONNECTING = QStringLiteral("Verbindung zum Zielsystem wird hergestellt ...");
    static inline const QString TEXT_SUCCESS = QStringLiteral("Verbindung hergestellt");
    static inline const QString TEXT_CONNECTION_FAILED =
        QStringLiteral("Leider konnte sich die App nicht mit dem Zielsystem verbinden.");
    static inline const QString TEXT_PROJECT_FAILED =
        QStringLiteral("Leider konnte das Projekt nicht vom Zielsystem geladen werden.");

    explicit CKV_Dlg_App_Zielsysteminfo(QWidget* parent = nullptr);

    void show_connecting();
    void show_success();
    void show_connection_failed();
    // The reason, when known, follows the fixed text on its own line.
    void show_project_failed(const QString& reason = {});
    void show_message(const QString& title, const QString& text);
    // "Sind Sie sich sicher, dass sie das Zielsystem "name" löschen wollen?"
    void show_delete_question(const QString& route_name);
    void show_serial_choice(const QStringList& serials);

    Mode mode() const { return m_mode; }
    // Progress of a project download, 0-100; -1 hides the bar.
    void set_progress(int percent);
    int progress() const;
    QString title() const;
    QString text() const;

signals:
    void back_to_list();
    void retry();
    void message_closed();
    void delete_cancelled();
    void delete_confirmed();
    void serial_chosen(const QString& serial);

public slots:
    void createGui();
    void on_m_pushButton_auswahl_clicked();
    void on_m_pushButton_erneut_clicked();
    void on_m_pushButton_missing_clicked();
    void on_m_pushButton_entfernen_abbrechen_clicked();
    void on_m_pushButton_entfernen_ja_clicked();

private:
    enum class Picture { None, Connecting, Success, Failure };
    void show_mode(Mode mode, Picture picture, const QString& title, const QString& text);
    void set_picture(Picture picture);
    void clear_serials();
    void slot_rotate_loading();

    Mode m_mode = Mode::Connecting;
    QLabel* m_label_picture = nullptr;
    QLabel* m_label_title = nullptr;
    QLabel* m_label_text = nullptr;
    QProgressBar* m_progress = nullptr;
    QWidget* m_widget_serials = nullptr;
    QVBoxLayout* m_layout_serials = nullptr;
    QPushButton* m_pushButton_auswahl = nullptr;
    QPushButton* m_pushButton_erneut = nullptr;
    QPushButton* m_pushButton_missing = nullptr;
    QPushButton* m_pushButton_entfernen_abbrechen = nullptr;
    QPushButton* m_pushButton_entfernen_ja = nullptr;
    // The loading picture turns while a connection is being made.
    QTimer m_timer_loading;
    QPixmap m_pixmap_loading;
    int m_loading_angle = 0;
};
