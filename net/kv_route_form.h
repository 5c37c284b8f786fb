#pragma once
// The line edits of one page of the target dialog that describe a route:
// built into a form layout, checked for empty fields, filled from a route
// and read back into one. Password fields hand out only digests and forget
// their plain text once read.

#include <QList>
#include <QString>

#include "kv_routes.h"

class QFormLayout;
class QLineEdit;

class KV_Route_Form {
public:
    // Shown in a password field of a stored route: the digest stays.
    static inline const QString PASSWORD_UNCHANGED = QStringLiteral("******");

    // Object names: m_lineEdit_<page>_name and so on.
    static KV_Route_Form local(QFormLayout* layout, const QString& page, const QString& show_button);
    // Object names: m_lineEdit_<stage>_online_name ..., m_lineEdit_<stage>_mail,
    // and the show buttons m_btn_<stage>_online<show_suffix>, m_btn_<stage>_mail<show_suffix>.
    static KV_Route_Form online(QFormLayout* layout, const QString& stage, const QString& show_suffix);

    // Marks the empty required fields; true when there is one.
    bool mark_empty() const;
    void mark_name_taken() const;
    QString name_text() const;
    QString mail_text() const;
    bool mail_password_unchanged() const;
    // Empties every field and masks the passwords again.
    void clear() const;
    // Shows a stored route; its passwords as PASSWORD_UNCHANGED.
    void fill(const KV_Routes::_route& route) const;
    // A new local route from the fields.
    KV_Routes::_route local_route() const;
    // A new online route through `host`; `kept_md5` stands in for a password
    // field still showing PASSWORD_UNCHANGED, when given.
    KV_Routes::_route online_route(const QString& host, const std::string* kept_md5) const;
    // Writes the fields into a stored route; an unchanged password keeps its digest.
    void write_to(KV_Routes::_route& route) const;
    // A route found by the search: its name and address with the default login.
    void fill_found(const QString& name, const QString& ip) const;
    // After a serial number choice the passwords need not be typed again.
    void show_passwords_kept() const;
    void set_serial(const QString& serial) const;
    // The online account's digest of the mail password with the account's salt.
    std::string mail_password_digest(const QString& salt) const;
    // Empties the password fields, undo history included, once their
    // digests are made: the plain text is kept nowhere.
    void forget_passwords() const;

private:
    QList<QLineEdit*> required() const;
    QList<QLineEdit*> all() const;

    // Fields the page lacks stay null.
    QLineEdit* m_name = nullptr;
    QLineEdit* m_ip = nullptr;
    QLineEdit* m_serial = nullptr; // optional: the online server can tell it
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_mail = nullptr;
    QLineEdit* m_mail_password = nullptr;
};

