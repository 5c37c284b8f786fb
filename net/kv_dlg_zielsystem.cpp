#include "kv_dlg_zielsystem.h"

#include "kv_crypto.h"
#include "kv_discovery.h"
#include "kv_dlg_zielsysteminfo.h"
#include "kv_network_client.h"
#include "kv_project_db.h"
#include "kv_trace.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <utility>

namespace {
const QString TITLE_INPUT = QStringLiteral("Eingabe erforderlich");

QPushButton* make_button(QWidget* parent, const char* object_name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(object_name));
    return button;
}

void clear_layout(QLayout* layout)
{
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        if (item->layout())
            clear_layout(item->layout());
        delete item;
    }
}
} // namespace

CKV_Dlg_App_Zielsystem::Network_Setup CKV_Dlg_App_Zielsystem::Network_Setup::product()
{
    return {QString::fromLatin1(KV_ONLINE_SERVER_HOST), CKV_Salt_Client::default_endpoint(), KV_SEARCH_PORT};
}

CKV_Dlg_App_Zielsystem::CKV_Dlg_App_Zielsystem(CKV_Project_Db* db, CKV_Studio_Network_Client* client,
                                               const Network_Setup& setup, QWidget* parent)
    : QWidget(parent)
    , m_db(db)
    , m_client(client)
    , m_online_host(setup.online_host)
    , m_salt_client(setup.salt)
    , m_search(new CKV_Target_Search(this, setup.search_port))
{
    Q_ASSERT(db && client);
    setObjectName(QStringLiteral("CKV_Dlg_App_Zielsystem"));
    m_timer_connect.setSingleShot(true);
    m_timer_connect.setInterval(CONNECT_TIMEOUT_MS);
    connect(&m_timer_connect, &QTimer::timeout, this, &CKV_Dlg_App_Zielsystem::slot_timeout_connect);
    connect(&m_salt_client, &CKV_Salt_Client::salt_ready, this, &CKV_Dlg_App_Zielsystem::slot_salt_ready);

    create_gui();
    QMetaObject::connectSlotsByName(this);
    connect(m_buttonGroup_bearbeiten, &QButtonGroup::buttonClicked, this,
            &CKV_Dlg_App_Zielsystem::slot_bearbeiten_clicked);
    connect(m_btn_zurueck, &QPushButton::clicked, this, &CKV_Dlg_App_Zielsystem::show_targets);
    connect(m_info, &CKV_Dlg_App_Zielsysteminfo::back_to_list, this, &CKV_Dlg_App_Zielsystem::slot_back_to_list);
    connect(m_info, &CKV_Dlg_App_Zielsysteminfo::retry, this, &CKV_Dlg_App_Zielsystem::slot_retry);
    connect(m_info, &CKV_Dlg_App_Zielsysteminfo::message_closed, this, &CKV_Dlg_App_Zielsystem::hide_info);
    connect(m_info, &CKV_Dlg_App_Zielsysteminfo::delete_cancelled, this, &CKV_Dlg_App_Zielsystem::hide_info);
    connect(m_info, &CKV_Dlg_App_Zielsysteminfo::delete_confirmed, this,
            &CKV_Dlg_App_Zielsystem::slot_delete_confirmed);
    connect(m_info, &CKV_Dlg_App_Zielsysteminfo::serial_chosen, this, &CKV_Dlg_App_Zielsystem::slot_serial_chosen);
    connect(m_search, &CKV_Target_Search::entries_added, this, &CKV_Dlg_App_Zielsystem::add_search_entries);
    connect(m_search, &CKV_Target_Search::progress_changed, m_progressBar_search, &QProgressBar::setValue);
    show_targets();
}

// ---------------------------------------------------------------- layout

void CKV_Dlg_App_Zielsystem::create_gui()
{
    m_widget_pages = new QWidget(this);
    auto* pages_layout = new QVBoxLayout(m_widget_pages);

    auto* header = new QHBoxLayout;
    m_btn_zurueck = make_button(m_widget_pages, "m_btn_zurueck", QStringLiteral("Zurück"));
    header->addWidget(m_btn_zurueck);
    const std::pair<const char*, QString> header_buttons[] = {
        {"m_headerbtn_assistent", QStringLiteral("Assistent")},
        {"m_headerbtn_search", QStringLiteral("Suchen")},
        {"m_headerbtn_neu_man", QStringLiteral("Manuell")},
        {"m_headerbtn_neu_local", QStringLiteral("Lokal")},
        {"m_headerbtn_neu_online", QStringLiteral("Online")},
        {"m_headerbtn_be_local", QStringLiteral("Lokal bearbeiten")},
        {"m_headerbtn_be_online", QStringLiteral("Online bearbeiten")},
    };
    for (const auto& [name, text] : header_buttons) {
        header->addWidget(make_button(m_widget_pages, name, text));
    }
    header->addStretch();
    pages_layout->addLayout(header);

    m_stackedWidget = new QStackedWidget(m_widget_pages);
    m_stackedWidget->setObjectName(QStringLiteral("m_stackedWidget"));
    pages_layout->addWidget(m_stackedWidget);

    // Order as in Page.
    m_stackedWidget->addWidget(create_list_page());
    m_stackedWidget->addWidget(create_assistent_page());
    m_stackedWidget->addWidget(create_search_page());

    const QString connect_text = QStringLiteral("Verbinden");
    auto* neu_man = new QFormLayout;
    m_form_neu_man = KV_Route_Form::local(neu_man, QStringLiteral("neu_man"), QStringLiteral("m_btn_neu_man_show_pwd"));
    m_stackedWidget->addWidget(create_form_page(neu_man, {make_button(nullptr, "m_btn_neu_man_connect", connect_text)}));

    auto* neu_local = new QFormLayout;
    m_form_neu_local =
        KV_Route_Form::local(neu_local, QStringLiteral("neu_local"), QStringLiteral("m_btn_neu_local_show_pwd"));
    m_stackedWidget->addWidget(create_form_page(neu_local, {make_button(nullptr, "m_btn_neu_local_connect", connect_text)}));

    auto* neu_online = new QFormLayout;
    m_form_neu_online = KV_Route_Form::online(neu_online, QStringLiteral("neu"), QStringLiteral("_show_pwd"));
    m_stackedWidget->addWidget(
        create_form_page(neu_online, {make_button(nullptr, "m_btn_neu_online_connect", connect_text)}));

    const QString save = QStringLiteral("Speichern");
    const QString remove = QStringLiteral("Löschen");
    auto* be_local = new QFormLayout;
    m_form_be_local = KV_Route_Form::local(be_local, QStringLiteral("be_local"), QStringLiteral("m_btn_be_local_password"));
    m_stackedWidget->addWidget(create_form_page(be_local, {make_button(nullptr, "m_btn_local_save", save),
                                                           make_button(nullptr, "m_btn_local_delete", remove)}));

    auto* be_online = new QFormLayout;
    m_form_be_online = KV_Route_Form::online(be_online, QStringLiteral("be"), QStringLiteral("_password"));
    m_stackedWidget->addWidget(create_form_page(be_online, {make_button(nullptr, "m_btn_online_save", save),
                                                            make_button(nullptr, "m_btn_online_delete", remove)}));

    m_info = new CKV_Dlg_App_Zielsysteminfo(this);
    m_info->setObjectName(QStringLiteral("m_info"));
    m_layout_outer = new QStackedLayout(this);
    m_layout_outer->addWidget(m_widget_pages);
    m_layout_outer->addWidget(m_info);
}

QWidget* CKV_Dlg_App_Zielsystem::create_list_page()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* scroll = new QScrollArea(page);
    scroll->setWidgetResizable(true);
    auto* list = new QWidget;
    list->setObjectName(QStringLiteral("m_widget_targets"));
    m_layout_targets = new QVBoxLayout(list);
    m_layout_targets->setAlignment(Qt::AlignTop);
    scroll->setWidget(list);
    layout->addWidget(scroll);
    m_buttonGroup_targets = new QButtonGroup(this);
    m_buttonGroup_targets->setObjectName(QStringLiteral("m_buttonGroup_targets"));
    m_buttonGroup_targets->setExclusive(true);
    m_buttonGroup_bearbeiten = new QButtonGroup(this);
    m_buttonGroup_bearbeiten->setObjectName(QStringLiteral("m_buttonGroup_bearbeiten"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(make_button(page, "m_btn_start_assistent", QStringLiteral("Neues Zielsystem")));
    buttons->addStretch();
    buttons->addWidget(make_button(page, "m_btn_connect", QStringLiteral("Verbinden")));
    layout->addLayout(buttons);
    return page;
}

QWidget* CKV_Dlg_App_Zielsystem::create_assistent_page()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Wie möchten Sie Ihr Zielsystem hinzufügen?"), page));
    m_radioButton_assistent_search = new QRadioButton(QStringLiteral("Im lokalen Netzwerk suchen"), page);
    m_radioButton_assistent_search->setObjectName(QStringLiteral("m_radioButton_assistent_search"));
    m_radioButton_assistent_search->setChecked(true);
    m_radioButton_assistent_man = new QRadioButton(QStringLiteral("IP-Adresse manuell eingeben"), page);
    m_radioButton_assistent_man->setObjectName(QStringLiteral("m_radioButton_assistent_man"));
    m_radioButton_assistent_online = new QRadioButton(QStringLiteral("Über ZRQ-Connect verbinden"), page);
    m_radioButton_assistent_online->setObjectName(QStringLiteral("m_radioButton_assistent_online"));
    for (QRadioButton* radio : {m_radioButton_assistent_search, m_radioButton_assistent_man, m_radioButton_assistent_online})
        layout->addWidget(radio);
    layout->addStretch();
    layout->addWidget(make_button(page, "m_btn_assistent_weiter", QStringLiteral("Weiter")), 0, Qt::AlignRight);
    return page;
}

QWidget* CKV_Dlg_App_Zielsystem::create_search_page()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Zielsysteme im lokalen Netzwerk"), page));
    m_progressBar_search = new QProgressBar(page);
    m_progressBar_search->setObjectName(QStringLiteral("m_progressBar_search"));
    m_progressBar_search->setTextVisible(false);
    layout->addWidget(m_progressBar_search);
    // The list grows with its entries up to the page and scrolls beyond.
    auto* scroll = new QScrollArea(page);
    scroll->setWidgetResizable(true);
    auto* list = new QWidget;
    list->setObjectName(QStringLiteral("m_widget_search"));
    m_layout_search = new QVBoxLayout(list);
    m_layout_search->setAlignment(Qt::AlignTop);
    scroll->setWidget(list);
    layout->addWidget(scroll);
    m_buttonGroup_search = new QButtonGroup(this);
    m_buttonGroup_search->setObjectName(QStringLiteral("m_buttonGroup_search"));
    m_buttonGroup_search->setExclusive(true);
    layout->addWidget(make_button(page, "m_btn_local_search_weiter", QStringLiteral("Weiter")), 0, Qt::AlignRight);
    return page;
}

QWidget* CKV_Dlg_App_Zielsystem::create_form_page(QFormLayout* form, const QList<QPushButton*>& buttons)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons) {
        button->setParent(page);
        row->addWidget(button);
    }
    layout->addLayout(row);
    return page;
}

// ---------------------------------------------------------------- pages

void CKV_Dlg_App_Zielsystem::show_page(Page page)
{
    if (page == PAGE_SEARCH)
        start_search();
    else if (current_page() == PAGE_SEARCH)
        m_search->stop();
    if (page == PAGE_LIST)
        rebuild_targets();
    m_stackedWidget->setCurrentIndex(page);
    m_btn_zurueck->setVisible(page != PAGE_LIST);
}

CKV_Dlg_App_Zielsystem::Page CKV_Dlg_App_Zielsystem::current_page() const
{
    return Page(m_stackedWidget->currentIndex());
}

void CKV_Dlg_App_Zielsystem::show_targets()
{
    hide_info();
    show_page(PAGE_LIST);
}

bool CKV_Dlg_App_Zielsystem::is_info_shown() const
{
    return m_layout_outer->currentWidget() == m_info;
}

void CKV_Dlg_App_Zielsystem::show_info()
{
    m_layout_outer->setCurrentWidget(m_info);
}

void CKV_Dlg_App_Zielsystem::hide_info()
{
    m_layout_outer->setCurrentWidget(m_widget_pages);
}

void CKV_Dlg_App_Zielsystem::rebuild_targets()
{
    clear_layout(m_layout_targets);
    auto* demo = new QPushButton(DEMO_BUTTON);
    demo->setObjectName(QStringLiteral("m_btn_target_demo"));
    demo->setCheckable(true);
    m_buttonGroup_targets->addButton(demo, 0);
    m_layout_targets->addWidget(demo);

    const std::vector<KV_Routes::_route>& list = route_list();
    for (size_t i = 0; i < list.size(); ++i) {
        const int id = int(i) + 1;
        auto* row = new QHBoxLayout;
        auto* target = new QPushButton(QString::fromStdString(list[i].m_str_name));
        target->setCheckable(true);
        m_buttonGroup_targets->addButton(target, id);
        auto* edit = new QPushButton(QStringLiteral("Bearbeiten"));
        m_buttonGroup_bearbeiten->addButton(edit, id);
        row->addWidget(target, 1);
        row->addWidget(edit);
        m_layout_targets->addLayout(row);
    }

    const int active = routes().m_route_default;
    QAbstractButton* selected = m_buttonGroup_targets->button(active + 1);
    (selected ? selected : demo)->setChecked(true);
}

int CKV_Dlg_App_Zielsystem::selected_target() const
{
    return std::max(0, m_buttonGroup_targets->checkedId());
}

// ---------------------------------------------------------------- routes

KV_Routes& CKV_Dlg_App_Zielsystem::routes()
{
    return m_db->m_routes;
}

const KV_Routes& CKV_Dlg_App_Zielsystem::routes() const
{
    return m_db->m_routes;
}

std::vector<KV_Routes::_route>& CKV_Dlg_App_Zielsystem::route_list()
{
    return m_db->m_routes.m_list_route;
}

const std::vector<KV_Routes::_route>& CKV_Dlg_App_Zielsystem::route_list() const
{
    return m_db->m_routes.m_list_route;
}

bool CKV_Dlg_App_Zielsystem::is_demo(const KV_Routes::_route& route)
{
    return route.m_str_name == DEMO_ROUTE.toStdString();
}

void CKV_Dlg_App_Zielsystem::store_routes()
{
    if (!m_db->save_routes())
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "target dialog: route list not stored: %s\n",
              m_db->last_error().c_str());
}

void CKV_Dlg_App_Zielsystem::remove_route(size_t index)
{
    std::vector<KV_Routes::_route>& list = route_list();
    if (index >= list.size())
        return;
    list.erase(list.begin() + std::ptrdiff_t(index));
    int32_t& active = routes().m_route_default;
    if (active > int32_t(index))
        --active;
    else if (active == int32_t(index))
        active = 0;
}

void CKV_Dlg_App_Zielsystem::remove_demo_route()
{
    // The demonstration route is made anew for every demo connection and
    // appended, so the one left from the last demo connection is the last.
    const std::vector<KV_Routes::_route>& list = route_list();
    if (!list.empty() && is_demo(list.back()))
        remove_route(list.size() - 1);
}

KV_Routes::_route CKV_Dlg_App_Zielsystem::demo_route() const
{
    KV_Routes::_route route;
    route.m_use_kv_dns_svr = false;
    route.m_str_name = DEMO_ROUTE.toStdString();
    route.m_str_ip = m_online_host.toStdString();
    route.m_str_user = KV_DEFAULT_USER;
    route.m_str_passwd_md5 = kv_crypto::password_md5(QString::fromLatin1(KV_DEFAULT_PASSWORD));
    return route;
}

// ---------------------------------------------------------------- checks

bool CKV_Dlg_App_Zielsystem::check_form(const KV_Route_Form& form, int own_index)
{
    if (form.mark_empty()) {
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "target dialog: input rejected, empty fields\n");
        show_message(TITLE_INPUT, QStringLiteral("Bitte füllen Sie alle Felder aus!"));
        return false;
    }
    if (name_taken(form.name_text(), own_index)) {
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "target dialog: input rejected, name taken\n");
        form.mark_name_taken();
        show_message(TITLE_INPUT, QStringLiteral("Dieser Name wurde bereits vergeben, bitte wählen sie einen neuen!"));
        return false;
    }
    return true;
}

bool CKV_Dlg_App_Zielsystem::name_taken(const QString& name, int own_index) const
{
    if (name == DEMO_ROUTE)
        return true;
    const std::string wanted = name.toStdString();
    const std::vector<KV_Routes::_route>& list = route_list();
    for (size_t i = 0; i < list.size(); ++i)
        if (int(i) != own_index && list[i].m_str_name == wanted)
            return true;
    return false;
}

void CKV_Dlg_App_Zielsystem::show_message(const QString& title, const QString& text)
{
    m_info->show_message(title, text);
    show_info();
}

// ---------------------------------------------------------------- create and edit

void CKV_Dlg_App_Zielsystem::create_local(const KV_Route_Form& form)
{
    if (check_form(form, -1))
        append_and_connect(form.local_route());
}

void CKV_Dlg_App_Zielsystem::create_online(const std::string& online_digest)
{
    const bool kept = std::exchange(m_online_digests_kept, false);
    KV_Routes::_route route =
        m_form_neu_online.online_route(m_online_host, kept ? &m_route_connect.m_str_passwd_md5 : nullptr);
    route.m_str_passwd_sha512_online = online_digest;
    append_and_connect(route);
}

void CKV_Dlg_App_Zielsystem::append_and_connect(const KV_Routes::_route& route)
{
    // New targets go before the demonstration route, which is rebuilt on demand.
    remove_demo_route();
    std::vector<KV_Routes::_route>& list = route_list();
    if (list.size() >= KV_Routes::MAX_ROUTES) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "target dialog: route list full\n");
        show_message(QStringLiteral("Zu viele Zielsysteme"),
                     QStringLiteral("Bitte löschen Sie ein Zielsystem, bevor Sie ein neues anlegen."));
        return;
    }
    list.push_back(route);
    routes().m_route_default = int32_t(list.size() - 1);
    store_routes();
    start_connect(route);
}

KV_Routes::_route* CKV_Dlg_App_Zielsystem::edited_route()
{
    std::vector<KV_Routes::_route>& list = route_list();
    if (m_edit_index < 1 || size_t(m_edit_index) > list.size()) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "target dialog: no route %d to edit\n", m_edit_index);
        return nullptr;
    }
    return &list[size_t(m_edit_index - 1)];
}

void CKV_Dlg_App_Zielsystem::open_edit(int index)
{
    m_edit_index = index;
    const KV_Routes::_route* route = edited_route();
    if (!route)
        return;
    const bool online = route->m_use_kv_dns_svr;
    (online ? m_form_be_online : m_form_be_local).fill(*route);
    show_page(online ? PAGE_BE_ONLINE : PAGE_BE_LOCAL);
}

void CKV_Dlg_App_Zielsystem::finish_edit(KV_Routes::_route& route, const KV_Route_Form& form)
{
    form.write_to(route);
    routes().m_route_default = m_edit_index - 1;
    store_routes();
    show_targets();
}

void CKV_Dlg_App_Zielsystem::save_online(const std::string& online_digest)
{
    KV_Routes::_route* route = edited_route();
    if (!route)
        return;
    route->m_str_passwd_sha512_online = online_digest;
    finish_edit(*route, m_form_be_online);
}

void CKV_Dlg_App_Zielsystem::ask_delete()
{
    if (const KV_Routes::_route* route = edited_route()) {
        m_info->show_delete_question(QString::fromStdString(route->m_str_name));
        show_info();
    }
}

// ---------------------------------------------------------------- salt

void CKV_Dlg_App_Zielsystem::request_salt(Salt_Purpose purpose, const QString& mail)
{
    if (m_salt_client.is_busy()) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "target dialog: salt request already running\n");
        return;
    }
    m_salt_purpose = purpose;
    // The panel covers the pages until the answer is there.
    m_info->show_connecting();
    show_info();
    m_salt_client.request(mail);
}

void CKV_Dlg_App_Zielsystem::slot_salt_ready(const QString& result)
{
    const Salt_Purpose purpose = std::exchange(m_salt_purpose, Salt_Purpose::None);
    if (result == CKV_Salt_Client::RESULT_NO_ACCOUNT) {
        show_message(QStringLiteral("E-Mail Adresse existiert nicht"),
                     QStringLiteral("Bitte registrieren Sie sich im ZRQ-Connect!"));
        return;
    }
    if (result == CKV_Salt_Client::RESULT_ERROR) {
        show_message(QStringLiteral("Verbindung zu ZRQ-Connect nicht möglich"),
                     QStringLiteral("Bitte überprüfen Sie die Internetverbindung!"));
        return;
    }
    const KV_Route_Form& form = purpose == Salt_Purpose::Save_Online ? m_form_be_online : m_form_neu_online;
    const std::string digest = form.mail_password_digest(result);
    switch (purpose) {
    case Salt_Purpose::Create_Online:
        create_online(digest);
        break;
    case Salt_Purpose::Save_Online:
        save_online(digest);
        break;
    case Salt_Purpose::None:
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "target dialog: salt without a request\n");
        break;
    }
}

// ---------------------------------------------------------------- connecting

void CKV_Dlg_App_Zielsystem::start_connect(const KV_Routes::_route& route)
{
    m_route_connect = route;
    m_info->show_connecting();
    show_info();
    m_client->disconnect_route();
    emit clear_project_timeout();
    m_timer_connect.start();
    m_state = STATE_CONNECTING;
    m_client->connect_route(&m_route_connect);
}

void CKV_Dlg_App_Zielsystem::end_attempt()
{
    m_timer_connect.stop();
    m_state = STATE_IDLE;
}

void CKV_Dlg_App_Zielsystem::show_failure(void (CKV_Dlg_App_Zielsysteminfo::*show_on_panel)())
{
    end_attempt();
    (m_info->*show_on_panel)();
    show_info();
}

void CKV_Dlg_App_Zielsystem::slot_timeout_connect()
{
    end_attempt();
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "target dialog: no connection to %s within the time\n",
          m_route_connect.m_str_name.c_str());
    if (is_info_shown())
        m_info->show_connection_failed();
}

void CKV_Dlg_App_Zielsystem::stop_connect_timer()
{
    end_attempt();
}

void CKV_Dlg_App_Zielsystem::login_refused()
{
    show_failure(&CKV_Dlg_App_Zielsysteminfo::show_connection_failed);
    m_client->disconnect_route();
}

void CKV_Dlg_App_Zielsystem::project_failed()
{
    project_failed(QString());
}

void CKV_Dlg_App_Zielsystem::project_failed(const QString& reason)
{
    end_attempt();
    m_info->show_project_failed(reason);
    show_info();
}

void CKV_Dlg_App_Zielsystem::project_arrived()
{
    m_info->show_success();
    show_info();
}

void CKV_Dlg_App_Zielsystem::online_serial_wrong()
{
    end_attempt();
    show_message(QStringLiteral("Seriennummer nicht korrekt"),
                 QStringLiteral("Bitte bearbeiten Sie ihre Route und fügen Sie eine korrekte Seriennummer ein!"));
}

void CKV_Dlg_App_Zielsystem::online_password_wrong()
{
    end_attempt();
    show_message(QStringLiteral("Passwort für den Onlinezugang nicht korrekt"),
                 QStringLiteral("Bitte bearbeiten Sie ihre Route und benutzen Sie die Zugangsdaten von ZRQ-Connect!"));
}

void CKV_Dlg_App_Zielsystem::online_refused()
{
    show_failure(&CKV_Dlg_App_Zielsysteminfo::show_connection_failed);
}

void CKV_Dlg_App_Zielsystem::online_serials(const QString& serial_list)
{
    end_attempt();
    QStringList serials;
    for (const QString& part : serial_list.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!part.trimmed().isEmpty())
            serials << part.trimmed();
    if (current_page() != PAGE_NEU_ONLINE || serials.isEmpty()) {
        show_message(QStringLiteral("Mehrere Seriennummer mit E-Mail Adresse verknüpft"),
                     QStringLiteral("Bitte bearbeiten Sie ihre Route und fügen Sie eine Seriennummer hinzu!"));
        return;
    }
    // The target made on this page gets its serial number first.
    std::vector<KV_Routes::_route>& list = route_list();
    if (!list.empty() && list.back().m_str_name == m_route_connect.m_str_name) {
        remove_route(list.size() - 1);
        store_routes();
    }
    m_client->disconnect_route();
    m_form_neu_online.show_passwords_kept();
    m_online_digests_kept = true;
    m_info->show_serial_choice(serials);
    show_info();
}

void CKV_Dlg_App_Zielsystem::connection_lost()
{
    m_info->show_connection_failed();
    show_info();
}

// ---------------------------------------------------------------- status panel answers

void CKV_Dlg_App_Zielsystem::slot_back_to_list()
{
    end_attempt();
    m_client->disconnect_route();
    show_targets();
}

void CKV_Dlg_App_Zielsystem::slot_retry()
{
    start_connect(m_route_connect);
}

void CKV_Dlg_App_Zielsystem::slot_delete_confirmed()
{
    if (edited_route()) {
        remove_route(size_t(m_edit_index - 1));
        store_routes();
    }
    show_targets();
}

void CKV_Dlg_App_Zielsystem::slot_serial_chosen(const QString& serial)
{
    m_form_neu_online.set_serial(serial);
    hide_info();
}

// ---------------------------------------------------------------- search

void CKV_Dlg_App_Zielsystem::start_search()
{
    clear_layout(m_layout_search);
    m_progressBar_search->setRange(0, 100);
    m_progressBar_search->setValue(0);
    m_search->start();
}

void CKV_Dlg_App_Zielsystem::add_search_entries(int first, int count)
{
    const std::vector<CKV_Target_Search::Entry>& entries = m_search->entries();
    for (int index = first; index < first + count && size_t(index) < entries.size(); ++index) {
        auto* button = new QPushButton(entries[size_t(index)].name);
        button->setCheckable(true);
        m_buttonGroup_search->addButton(button, index);
        m_layout_search->addWidget(button);
        if (m_buttonGroup_search->buttons().size() == 1)
            button->setChecked(true);
    }
}

void CKV_Dlg_App_Zielsystem::fill_neu_local(const QString& name, const QString& ip)
{
    m_form_neu_local.fill_found(name, ip);
    show_page(PAGE_NEU_LOCAL);
}

void CKV_Dlg_App_Zielsystem::on_m_btn_local_search_weiter_clicked()
{
    const int selected = m_buttonGroup_search->checkedId();
    if (selected < 0 || size_t(selected) >= m_search->entries().size()) {
        fill_neu_local({}, {});
        return;
    }
    const KV_Routes::_route& route = m_search->entries()[size_t(selected)].route;
    fill_neu_local(QString::fromStdString(route.m_str_name), QString::fromStdString(route.m_str_ip));
}

// ---------------------------------------------------------------- slots

void CKV_Dlg_App_Zielsystem::slot_bearbeiten_clicked(const QAbstractButton* button)
{
    open_edit(m_buttonGroup_bearbeiten->id(const_cast<QAbstractButton*>(button)));
}

void CKV_Dlg_App_Zielsystem::on_m_btn_start_assistent_clicked()
{
    show_page(PAGE_ASSISTENT);
}

void CKV_Dlg_App_Zielsystem::on_m_btn_assistent_weiter_clicked()
{
    if (m_radioButton_assistent_man->isChecked())
        on_m_headerbtn_neu_man_clicked();
    else if (m_radioButton_assistent_online->isChecked())
        on_m_headerbtn_neu_online_clicked();
    else
        on_m_headerbtn_search_clicked();
}

void CKV_Dlg_App_Zielsystem::on_m_btn_neu_man_connect_clicked()
{
    create_local(m_form_neu_man);
}

void CKV_Dlg_App_Zielsystem::on_m_btn_neu_local_connect_clicked()
{
    create_local(m_form_neu_local);
}

void CKV_Dlg_App_Zielsystem::on_m_btn_neu_online_connect_clicked()
{
    if (!check_form(m_form_neu_online, -1))
        return;
    if (m_online_digests_kept && m_form_neu_online.mail_password_unchanged())
        create_online(m_route_connect.m_str_passwd_sha512_online);
    else
        request_salt(Salt_Purpose::Create_Online, m_form_neu_online.mail_text());
}

void CKV_Dlg_App_Zielsystem::on_m_btn_connect_clicked()
{
    const int selected = selected_target();
    remove_demo_route();
    std::vector<KV_Routes::_route>& list = route_list();
    if (selected >= 1 && size_t(selected) <= list.size()) {
        routes().m_route_default = selected - 1;
        m_route_connect = list[size_t(selected - 1)];
    } else {
        // "Demo-Modus", or the old demo route just removed.
        list.push_back(demo_route());
        routes().m_route_default = int32_t(list.size() - 1);
        m_route_connect = list.back();
    }
    store_routes();
    start_connect(m_route_connect);
}

void CKV_Dlg_App_Zielsystem::on_m_btn_local_save_clicked()
{
    KV_Routes::_route* route = edited_route();
    if (route && check_form(m_form_be_local, m_edit_index - 1))
        finish_edit(*route, m_form_be_local);
}

void CKV_Dlg_App_Zielsystem::on_m_btn_local_delete_clicked()
{
    ask_delete();
}

void CKV_Dlg_App_Zielsystem::on_m_btn_online_save_clicked()
{
    KV_Routes::_route* route = edited_route();
    if (!route || !check_form(m_form_be_online, m_edit_index - 1))
        return;
    if (m_form_be_online.mail_password_unchanged())
        save_online(route->m_str_passwd_sha512_online);
    else
        request_salt(Salt_Purpose::Save_Online, m_form_be_online.mail_text());
}

void CKV_Dlg_App_Zielsystem::on_m_btn_online_delete_clicked()
{
    ask_delete();
}

void CKV_Dlg_App_Zielsystem::on_m_headerbtn_assistent_clicked()
{
    show_page(PAGE_ASSISTENT);
}

void CKV_Dlg_App_Zielsystem::on_m_headerbtn_neu_man_clicked()
{
    m_form_neu_man.clear();
    show_page(PAGE_NEU_MAN);
}

void CKV_Dlg_App_Zielsystem::on_m_headerbtn_search_clicked()
{
    show_page(PAGE_SEARCH);
}

void CKV_Dlg_App_Zielsystem::on_m_headerbtn_neu_local_clicked()
{
    fill_neu_local({}, {});
}

void CKV_Dlg_App_Zielsystem::on_m_headerbtn_neu_online_clicked()
{
    m_form_neu_online.clear();
    m_online_digests_kept = false;
    show_page(PAGE_NEU_ONLINE);
}

void CKV_Dlg_App_Zielsystem::on_m_headerbtn_be_local_clicked()
{
    open_selected_for_edit(false);
}

void CKV_Dlg_App_Zielsystem::on_m_headerbtn_be_online_clicked()
{
    open_selected_for_edit(true);
}

void CKV_Dlg_App_Zielsystem::open_selected_for_edit(bool online)
{
    const int selected = selected_target();
    const std::vector<KV_Routes::_route>& list = route_list();
    if (selected < 1 || size_t(selected) > list.size() || list[size_t(selected - 1)].m_use_kv_dns_svr != online) {
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "target dialog: selected target %d is no %s route\n", selected,
              online ? "online" : "local");
        return;
    }
    open_edit(selected);
}
