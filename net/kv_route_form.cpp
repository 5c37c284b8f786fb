#include "kv_route_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "kv_crypto.h"
#include "kv_discovery.h"

namespace {
std::string trimmed(const QLineEdit* edit)
{
    return edit->text().trimmed().toStdString();
}

void set_error(QLineEdit* edit, bool error)
{
    if (edit->property("error").toBool() == error)
        return;
    edit->setProperty("error", error);
    // The style sheet selects on the property; make it look again.
    edit->style()->unpolish(edit);
    edit->style()->polish(edit);
}

void toggle_password(QLineEdit* edit)
{
    edit->setEchoMode(edit->echoMode() == QLineEdit::Password ? QLineEdit::Normal : QLineEdit::Password);
}

// One labelled line edit of a form; typing clears its mark of an empty
// field. Secret fields are masked and get a button that shows the text.
QLineEdit* add_field(QFormLayout* layout, const QString& object_name, const QString& label,
                     const QString& show_button_name = {})
{
    auto* edit = new QLineEdit;
    edit->setObjectName(object_name);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] { set_error(edit, false); });
    if (show_button_name.isEmpty()) {
        layout->addRow(label, edit);
        return edit;
    }
    edit->setEchoMode(QLineEdit::Password);
    auto* show = new QPushButton(QStringLiteral("Anzeigen"));
    show->setObjectName(show_button_name);
    QObject::connect(show, &QPushButton::clicked, edit, [edit] { toggle_password(edit); });
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(show);
    layout->addRow(label, row);
    return edit;
}
} // namespace

KV_Route_Form KV_Route_Form::local(QFormLayout* layout, const QString& page, const QString& show_button)
{
    const QString edit = QStringLiteral("m_lineEdit_") + page;
    KV_Route_Form form;
    form.m_name = add_field(layout, edit + QStringLiteral("_name"), QStringLiteral("Name"));
    form.m_ip = add_field(layout, edit + QStringLiteral("_ip"), QStringLiteral("IP-Adresse"));
    form.m_user = add_field(layout, edit + QStringLiteral("_username"), QStringLiteral("Benutzername"));
    form.m_password = add_field(layout, edit + QStringLiteral("_password"), QStringLiteral("Passwort"), show_button);
    return form;
}

KV_Route_Form KV_Route_Form::online(QFormLayout* layout, const QString& stage, const QString& show_suffix)
{
    const QString edit = QStringLiteral("m_lineEdit_") + stage;
    const QString button = QStringLiteral("m_btn_") + stage;
    KV_Route_Form form;
    form.m_name = add_field(layout, edit + QStringLiteral("_online_name"), QStringLiteral("Name"));
    form.m_serial = add_field(layout, edit + QStringLiteral("_online_serial"), QStringLiteral("Seriennummer (optional)"));
    form.m_user = add_field(layout, edit + QStringLiteral("_online_username"), QStringLiteral("Benutzername"));
    form.m_password = add_field(layout, edit + QStringLiteral("_online_password"), QStringLiteral("Passwort Zielsystem"),
                                button + QStringLiteral("_online") + show_suffix);
    form.m_mail = add_field(layout, edit + QStringLiteral("_mail"), QStringLiteral("E-Mail Adresse"));
    form.m_mail_password = add_field(layout, edit + QStringLiteral("_mail_password"),
                                     QStringLiteral("Passwort ZRQ-Connect"), button + QStringLiteral("_mail") + show_suffix);
    return form;
}

QList<QLineEdit*> KV_Route_Form::required() const
{
    QList<QLineEdit*> edits;
    for (QLineEdit* edit : {m_name, m_ip, m_user, m_password, m_mail, m_mail_password})
        if (edit)
            edits << edit;
    return edits;
}

QList<QLineEdit*> KV_Route_Form::all() const
{
    QList<QLineEdit*> edits = required();
    if (m_serial)
        edits << m_serial;
    return edits;
}

bool KV_Route_Form::mark_empty() const
{
    bool missing = false;
    for (QLineEdit* edit : required()) {
        const bool empty = edit->text().trimmed().isEmpty();
        set_error(edit, empty);
        missing = missing || empty;
    }
    return missing;
}

void KV_Route_Form::mark_name_taken() const
{
    set_error(m_name, true);
}

QString KV_Route_Form::name_text() const
{
    return m_name->text().trimmed();
}

QString KV_Route_Form::mail_text() const
{
    return m_mail->text().trimmed();
}

bool KV_Route_Form::mail_password_unchanged() const
{
    return m_mail_password->text() == PASSWORD_UNCHANGED;
}

void KV_Route_Form::clear() const
{
    for (QLineEdit* edit : all()) {
        edit->clear();
        set_error(edit, false);
    }
    for (QLineEdit* edit : {m_password, m_mail_password})
        if (edit)
            edit->setEchoMode(QLineEdit::Password);
}

void KV_Route_Form::fill(const KV_Routes::_route& route) const
{
    clear();
    m_name->setText(QString::fromStdString(route.m_str_name));
    m_user->setText(QString::fromStdString(route.m_str_user));
    m_password->setText(PASSWORD_UNCHANGED);
    if (m_ip)
        m_ip->setText(QString::fromStdString(route.m_str_ip));
    if (m_serial)
        m_serial->setText(QString::fromStdString(route.m_str_serial));
    if (m_mail)
        m_mail->setText(QString::fromStdString(route.m_str_mail));
    if (m_mail_password)
        m_mail_password->setText(PASSWORD_UNCHANGED);
}

KV_Routes::_route KV_Route_Form::local_route() const
{
    KV_Routes::_route route;
    route.m_use_kv_dns_svr = false;
    route.m_str_name = trimmed(m_name);
    route.m_str_ip = trimmed(m_ip);
    route.m_str_user = trimmed(m_user);
    route.m_str_passwd_md5 = kv_crypto::password_md5(m_password->text());
    forget_passwords();
    return route;
}

KV_Routes::_route KV_Route_Form::online_route(const QString& host, const std::string* kept_md5) const
{
    KV_Routes::_route route;
    route.m_use_kv_dns_svr = true;
    route.m_str_name = trimmed(m_name);
    route.m_str_ip = host.toStdString();
    route.m_str_dns_vpn = host.toStdString();
    route.m_str_user = trimmed(m_user);
    const bool kept = kept_md5 && m_password->text() == PASSWORD_UNCHANGED;
    route.m_str_passwd_md5 = kept ? *kept_md5 : kv_crypto::password_md5(m_password->text());
    forget_passwords();
    route.m_str_serial = trimmed(m_serial);
    route.m_str_mail = trimmed(m_mail);
    return route;
}

void KV_Route_Form::write_to(KV_Routes::_route& route) const
{
    route.m_str_name = trimmed(m_name);
    route.m_str_user = trimmed(m_user);
    if (m_ip)
        route.m_str_ip = trimmed(m_ip);
    if (m_serial)
        route.m_str_serial = trimmed(m_serial);
    if (m_mail)
        route.m_str_mail = trimmed(m_mail);
    if (m_password->text() != PASSWORD_UNCHANGED)
        route.m_str_passwd_md5 = kv_crypto::password_md5(m_password->text());
    forget_passwords();
}

void KV_Route_Form::fill_found(const QString& name, const QString& ip) const
{
    clear();
    m_name->setText(name);
    m_ip->setText(ip);
    m_user->setText(QString::fromLatin1(KV_DEFAULT_USER));
    m_password->setText(QString::fromLatin1(KV_DEFAULT_PASSWORD));
}

void KV_Route_Form::show_passwords_kept() const
{
    m_password->setText(PASSWORD_UNCHANGED);
    m_mail_password->setText(PASSWORD_UNCHANGED);
}

void KV_Route_Form::set_serial(const QString& serial) const
{
    m_serial->setText(serial);
}

std::string KV_Route_Form::mail_password_digest(const QString& salt) const
{
    return kv_crypto::pbkdf2_sha512_hex(m_mail_password->text().toUtf8().toStdString(), salt.toUtf8().toStdString());
}

void KV_Route_Form::forget_passwords() const
{
    for (QLineEdit* edit : {m_password, m_mail_password})
        if (edit)
            edit->setText(QString()); // unlike clear(), also drops the undo steps
}
