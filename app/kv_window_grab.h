#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class CKV_Studio_Main_App;

// Checks an installation without a screen: once the panel has settled (its
// first page shown, or no target to connect to) saves a picture of the window
// and ends the app, with exit status 0; when no page came within the time
// allowed, saves what is shown and ends with status 1.
class KV_Window_Grab : public QObject
{
    Q_OBJECT

public:
    KV_Window_Grab(CKV_Studio_Main_App& window, const QString& file, int timeout_ms = 60000);

private:
    void poll();
    bool settled() const;
    void finish(bool in_time);

    CKV_Studio_Main_App& m_window;
    QString m_file;
    int m_timeout_ms;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    int m_settled_polls = 0;
};
