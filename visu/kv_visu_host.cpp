#include "kv_visu_host.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>
#include <cstring>

#include "kv_gui_value_dispatch.h"
#include "kv_logic.h"
#include "kv_network_msg.h"

KV_Visu_Host::KV_Visu_Host()
    : m_dispatch(std::make_unique<CKV_Gui_Value_Dispatch>(*this))
{
}

KV_Visu_Host::~KV_Visu_Host() = default;

// A window without a project store offers no files, blocks, languages or
// page order; the app window supplies them.
QByteArray KV_Visu_Host::file_data(const QString&)
{
    return {};
}

std::vector<const KV_LOGIC_Control*> KV_Visu_Host::logic_blocks()
{
    return {};
}

const KV_LOGIC_Control* KV_Visu_Host::find_logic_block(const std::string& guid)
{
    if (guid.empty())
        return nullptr;
    for (const KV_LOGIC_Control* block : logic_blocks())
        if (block && block->m_str_guid == guid)
            return block;
    return nullptr;
}

QPixmap KV_Visu_Host::named_image(const QString& name)
{
    if (name.isEmpty())
        return {};
    return name.startsWith(QLatin1Char(':')) ? QPixmap(name) : image(name);
}

bool KV_Visu_Host::store_logic_block(const KV_LOGIC_Control&)
{
    return false;
}

std::string KV_Visu_Host::changed_block_guid(const CKV_Network_Msg& header, const unsigned char* payload)
{
    if (header.id != kv_msg::BLOCK_CHANGED || !payload)
        return {};
    const char* text = reinterpret_cast<const char*>(payload);
    return KV_LOGIC_Control(std::string(text, strnlen(text, header.data_length))).m_str_guid;
}

std::vector<std::string> KV_Visu_Host::page_order()
{
    return {};
}

QList<KV_Visu_Language> KV_Visu_Host::visu_languages()
{
    return {};
}

void KV_Visu_Host::set_visu_language(const QString&)
{
}

bool KV_Visu_Host::start_program(const QString& program)
{
    const QString text = program.trimmed();
    if (text.isEmpty())
        return false;
    // "http://...", "mailto:..." and the like go to the desktop; a bare path
    // or command line is started as a program.
    const QUrl url(text, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1)
        return QDesktopServices::openUrl(url);
    QStringList arguments = QProcess::splitCommand(text);
    if (arguments.isEmpty())
        return false;
    const QString executable = arguments.takeFirst();
    return QProcess::startDetached(executable, arguments);
}

void KV_Visu_Host::show_message(const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("kirovantor3"), text, QMessageBox::Ok,
                                QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
