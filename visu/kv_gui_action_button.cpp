#include "kv_gui_action_button.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPainter>
#include <QUrl>

#include "kv_trace.h"
#include "kv_visu_host.h"

// ---- Common button ----

QString CKV_Gui_Control_Button_Action::label() const
{
    return name_text();
}

void CKV_Gui_Control_Button_Action::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QRectF box = frame_box();
    painter.setPen(border_pen());
    painter.setBrush(shows_pressed() ? or_default(btncolorpress(), btncolorswitchon())
                                  : or_default(btncolorface(), btn_cta_default_color()));
    painter.drawRoundedRect(box, borderradius(), borderradius());
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), btn_cta_text_color()));
    painter.drawText(rect().adjusted(4, 2, -4, -2), Qt::AlignCenter | Qt::TextWordWrap, label());
}

// ---- Program start ----

QString CKV_Gui_Control_Button_Startapp::program() const
{
#if defined(Q_OS_WIN)
    const char* own = "Programm Windows";
#elif defined(Q_OS_ANDROID)
    const char* own = "Programm Android";
#elif defined(Q_OS_IOS)
    const char* own = "Programm IOs";
#else
    const char* own = "Programm Allgemein";
#endif
    const QString text = param(own).trimmed();
    return text.isEmpty() ? param("Programm Allgemein").trimmed() : text;
}

void CKV_Gui_Control_Button_Startapp::act()
{
    const QString text = program();
    if (text.isEmpty())
        return;
    if (host().start_program(text))
        return;
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "PROGRAM NOT STARTED: %s\n", qPrintable(text));
    host().show_message(QStringLiteral("Fehler beim Aufruf der Url"));
}

// ---- Sound ----

CKV_Gui_Control_Button_Sound::CKV_Gui_Control_Button_Sound(CKV_Gui_Control_Container* canvas,
                                                           const KV_GUI_Control& record)
    : CKV_Gui_Control_Button_Action(canvas, record)
{
}

namespace {
// One player for all sound buttons, kept until the program ends: Qt's media
// backends crash when a player is destroyed while its audio thread runs,
// which a page rebuild during a sound would do. A new sound stops the last.
QMediaPlayer* shared_player()
{
    static QMediaPlayer* player = nullptr;
    if (!player) {
        // Qt's GStreamer backend crashes when the system lacks GStreamer's
        // base plugins; the FFmpeg backend comes with Qt Multimedia itself.
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "ffmpeg");
        player = new QMediaPlayer(QCoreApplication::instance());
        player->setAudioOutput(new QAudioOutput(player));
    }
    return player;
}

bool has_audio_output()
{
    static const bool has = [] {
        const bool found = !QMediaDevices::audioOutputs().isEmpty();
        if (!found)
            TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "NO AUDIO OUTPUT: SOUND BUTTONS STAY SILENT\n");
        return found;
    }();
    return has;
}
} // namespace

CKV_Gui_Control_Button_Sound::~CKV_Gui_Control_Button_Sound()
{
    release_player();
}

void CKV_Gui_Control_Button_Sound::release_player()
{
    // The player stops reading before the file goes.
    if (m_playing && m_file && shared_player()->source() == QUrl::fromLocalFile(m_file->fileName())) {
        shared_player()->stop();
        shared_player()->setSource(QUrl());
    }
}

void CKV_Gui_Control_Button_Sound::apply_record()
{
    CKV_Gui_Control_Button_Action::apply_record();
    const QString name = param("Audio");
    if (name == m_audio && m_file)
        return;
    m_audio = name;
    release_player();
    m_file.reset();
    if (name.isEmpty())
        return;
    const QByteArray bytes = host().file_data(name);
    if (bytes.isEmpty()) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "SOUND NOT FOUND: %s\n", qPrintable(name));
        return;
    }
    // The player reads from a file and tells the format partly by its
    // suffix; the copy lives as long as the button.
    const QString suffix = QFileInfo(name).suffix();
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/kv_sound_XXXXXX") +
                                                 (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix));
    if (!file->open() || file->write(bytes) != bytes.size() || !file->flush()) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "SOUND NOT WRITTEN: %s\n", qPrintable(name));
        return;
    }
    m_file = std::move(file);
}

QString CKV_Gui_Control_Button_Sound::sound_file() const
{
    return m_file ? m_file->fileName() : QString();
}

void CKV_Gui_Control_Button_Sound::act()
{
    if (!m_file)
        return;
    ++m_plays;
    if (!has_audio_output())
        return;
    QMediaPlayer* player = shared_player();
    player->stop();
    player->setSource(QUrl::fromLocalFile(m_file->fileName()));
    player->play();
    m_playing = true;
}

// ---- Exit ----

void CKV_Gui_Control_Button_Exit::act()
{
    // Closing the main window ends the run the ordinary way, with its
    // geometry and state saved.
    window()->close();
}
