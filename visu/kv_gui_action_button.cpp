#include "kv_gui_action_button.h"

#include <QAudioOutput>
#include <QDir>
#include <QFileInfo>
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

CKV_Gui_Control_Button_Sound::~CKV_Gui_Control_Button_Sound()
{
    delete m_player; // stops reading before the file goes
}

void CKV_Gui_Control_Button_Sound::apply_record()
{
    CKV_Gui_Control_Button_Action::apply_record();
    const QString name = param("Audio");
    if (name == m_audio && m_file)
        return;
    m_audio = name;
    if (m_player)
        m_player->setSource(QUrl());
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
    if (m_player)
        m_player->setSource(QUrl::fromLocalFile(m_file->fileName()));
}

QString CKV_Gui_Control_Button_Sound::sound_file() const
{
    return m_file ? m_file->fileName() : QString();
}

void CKV_Gui_Control_Button_Sound::act()
{
    if (!m_file)
        return;
    if (!m_player) {
        // Qt's GStreamer backend crashes when the system lacks GStreamer's
        // base plugins; the FFmpeg backend comes with Qt Multimedia itself.
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "ffmpeg");
        m_player = new QMediaPlayer(this);
        m_player->setAudioOutput(new QAudioOutput(m_player));
        m_player->setSource(QUrl::fromLocalFile(m_file->fileName()));
    }
    ++m_plays;
    m_player->setPosition(0);
    m_player->play();
}

// ---- Exit ----

void CKV_Gui_Control_Button_Exit::act()
{
    // Closing the main window ends the run the ordinary way, with its
    // geometry and state saved.
    window()->close();
}
