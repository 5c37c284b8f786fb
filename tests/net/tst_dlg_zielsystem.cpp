// The target dialog against a real project file, a real network client and
// local stand-ins for the controller and the online account service.
#include "kv_crypto.h"
#include "kv_discovery.h"
#include "kv_dlg_zielsystem.h"
#include "kv_dlg_zielsysteminfo.h"
#include "kv_network_client.h"
#include "kv_project_db.h"
#include "kv_test_answer_flood.h"
#include "kv_test_http_responder.h"
#include "kv_test_route.h"
#include "../app/kv_trace_capture.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <memory>

using Dlg = CKV_Dlg_App_Zielsystem;
using Info = CKV_Dlg_App_Zielsysteminfo;

namespace {
const QString SALT = QStringLiteral("c0ffee00c0ffee00c0ffee00c0ffee00");
const QString TITLE_INPUT = QStringLiteral("Eingabe erforderlich");
const QString TEXT_EMPTY = QStringLiteral("Bitte füllen Sie alle Felder aus!");
const QString TEXT_DUPLICATE = QStringLiteral("Dieser Name wurde bereits vergeben, bitte wählen sie einen neuen!");
const QString TEXT_NOT_CONNECTED = QStringLiteral("Leider konnte sich die App nicht mit dem Zielsystem verbinden.");
const char* const ONLINE_FIELDS[] = {"m_lineEdit_neu_online_name", "m_lineEdit_neu_online_username",
                                     "m_lineEdit_neu_online_password", "m_lineEdit_neu_mail",
                                     "m_lineEdit_neu_mail_password"};

// What a local route is made of, in one comparable text.
QString fields(const KV_Routes::_route& route)
{
    return QString::fromStdString(route.m_str_name + '|' + route.m_str_ip + '|' + route.m_str_user + '|' +
                                  route.m_str_passwd_md5 + (route.m_use_kv_dns_svr ? "|online" : ""));
}

QStringList names(const std::vector<KV_Routes::_route>& list)
{
    QStringList out;
    for (const KV_Routes::_route& route : list)
        out << QString::fromStdString(route.m_str_name);
    return out;
}
// The named buttons the status panel shows.
QStringList visible_buttons(const Info& info)
{
    QStringList names;
    for (const QPushButton* button : info.findChildren<QPushButton*>())
        if (button->isVisibleTo(&info) && !button->objectName().isEmpty())
            names << button->objectName();
    names.sort();
    return names;
}
} // namespace

class Tst_Dlg_Zielsystem : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("kv_app.kvp")).toStdString();
        m_db = std::make_unique<CKV_Project_Db>();
        QVERIFY(m_db->load(m_path));
        m_controller = std::make_unique<QTcpServer>();
        QVERIFY(m_controller->listen(QHostAddress::LocalHost, 0));
        m_client = std::make_unique<CKV_Studio_Network_Client>(m_db.get());
        m_salt_service = std::make_unique<KV_Test_Http_Responder>(200, "SALT_OK: " + SALT.toLatin1());
        m_search_answerer = std::make_unique<QUdpSocket>();
        QVERIFY(m_search_answerer->bind(QHostAddress::LocalHost, 0));

        m_dlg = std::make_unique<Dlg>(m_db.get(), m_client.get(), local_setup(m_salt_service->port()));
        // Search requests go to this machine only.
        m_dlg->search()->set_target(QHostAddress::LocalHost, m_search_answerer->localPort());
    }

    void cleanup()
    {
        m_dlg.reset();
        m_salt_service.reset();
        m_search_answerer.reset();
        m_client.reset();
        m_controller.reset();
        m_db.reset();
        m_dir.reset();
    }

    void new_target_input_is_checked()
    {
        click("m_headerbtn_neu_man");
        fill("m_lineEdit_neu_man_name", QStringLiteral("Haus"));
        fill("m_lineEdit_neu_man_username", QStringLiteral("   "));
        click("m_btn_neu_man_connect");
        QVERIFY(!marked("m_lineEdit_neu_man_name"));
        QVERIFY(marked("m_lineEdit_neu_man_ip"));
        QVERIFY(marked("m_lineEdit_neu_man_username"));
        QVERIFY(marked("m_lineEdit_neu_man_password"));
        QCOMPARE(m_dlg->info()->title(), TITLE_INPUT);
        QCOMPARE(m_dlg->info()->text(), TEXT_EMPTY);
        QCOMPARE(visible_buttons(*m_dlg->info()), QStringList{"m_pushButton_missing"});
        QVERIFY(m_db->m_routes.m_list_route.empty());

        // Closing the message returns to the page; typing clears the mark.
        click("m_pushButton_missing");
        QVERIFY(!m_dlg->is_info_shown());
        QCOMPARE(m_dlg->current_page(), Dlg::PAGE_NEU_MAN);
        fill("m_lineEdit_neu_man_ip", QStringLiteral("1"));
        QVERIFY(!marked("m_lineEdit_neu_man_ip"));

        // Online needs everything but the serial, and asks the account service
        // nothing while a field is empty.
        click("m_headerbtn_neu_online");
        fill(ONLINE_FIELDS[0], QStringLiteral("Online"));
        click("m_btn_neu_online_connect");
        for (const char* name : ONLINE_FIELDS)
            QCOMPARE(marked(name), name != ONLINE_FIELDS[0]);
        QVERIFY(!marked("m_lineEdit_neu_online_serial"));
        QCOMPARE(m_dlg->info()->text(), TEXT_EMPTY);
        QTest::qWait(50);
        QVERIFY(m_salt_service->paths().isEmpty());

        // A fresh page starts unmarked.
        click("m_headerbtn_neu_man");
        QVERIFY(!marked("m_lineEdit_neu_man_password"));
        QVERIFY(edit("m_lineEdit_neu_man_name")->text().isEmpty());

        // Names are unique, ignoring the blanks around them, but case counts.
        add_routes({test_route("Haus", "10.0.0.1")});
        const auto create = [this](const QString& name) {
            click("m_headerbtn_neu_man");
            fill("m_lineEdit_neu_man_name", name);
            fill("m_lineEdit_neu_man_ip", QString::fromStdString(controller_host()));
            fill("m_lineEdit_neu_man_username", QStringLiteral("admin"));
            fill("m_lineEdit_neu_man_password", QStringLiteral("geheim"));
            click("m_btn_neu_man_connect");
        };
        for (const QString& taken : {QStringLiteral("  Haus "), QStringLiteral("Demo-VPN")}) {
            create(taken);
            QCOMPARE(m_dlg->info()->title(), TITLE_INPUT);
            QCOMPARE(m_dlg->info()->text(), TEXT_DUPLICATE);
            QVERIFY(marked("m_lineEdit_neu_man_name"));
            QCOMPARE(m_db->m_routes.m_list_route.size(), size_t(1));
        }

        create(QStringLiteral(" haus "));
        QCOMPARE(m_dlg->info()->mode(), Info::Mode::Connecting);
        QCOMPARE(names(stored_routes()), (QStringList{"Haus", "haus"}));
        QCOMPARE(fields(m_db->m_routes.m_list_route.back()),
                 fields(test_route("haus", controller_host(), "admin", "geheim")));
        QCOMPARE(m_db->m_routes.m_route_default, 1);
    }

    void edit_and_delete()
    {
        add_routes({test_route("A", "10.0.0.1", "root", "alt"), test_route("B", "10.0.0.2"), test_route("C", "10.0.0.3")});
        m_db->m_routes.m_route_default = 2;
        click_edit(1);
        QCOMPARE(m_dlg->current_page(), Dlg::PAGE_BE_LOCAL);
        QCOMPARE(edit("m_lineEdit_be_local_password")->text(), QStringLiteral("******"));

        // Its own name is no duplicate; the digest stays while "******" shows.
        fill("m_lineEdit_be_local_ip", QStringLiteral(" 10.0.0.9 "));
        click("m_btn_local_save");
        QCOMPARE(m_dlg->current_page(), Dlg::PAGE_LIST);
        QCOMPARE(fields(stored_routes()[0]), fields(test_route("A", "10.0.0.9", "root", "alt")));

        // Another route's name is a duplicate.
        click_edit(1);
        fill("m_lineEdit_be_local_name", QStringLiteral("B"));
        click("m_btn_local_save");
        QCOMPARE(m_dlg->info()->text(), TEXT_DUPLICATE);
        QCOMPARE(names(stored_routes()), (QStringList{"A", "B", "C"}));

        // A new password replaces the digest; the edited route becomes current.
        click("m_pushButton_missing");
        fill("m_lineEdit_be_local_name", QStringLiteral("A2"));
        fill("m_lineEdit_be_local_password", QStringLiteral("neu"));
        click("m_btn_local_save");
        QCOMPARE(names(stored_routes()), (QStringList{"A2", "B", "C"}));
        QCOMPARE(fields(stored_routes()[0]), fields(test_route("A2", "10.0.0.9", "root", "neu")));
        QCOMPARE(m_db->m_routes.m_route_default, 0);

        // Deleting asks first.
        m_db->m_routes.m_route_default = 2;
        click_edit(2);
        click("m_btn_local_delete");
        QCOMPARE(m_dlg->info()->mode(), Info::Mode::Delete_Question);
        QCOMPARE(m_dlg->info()->text(),
                 QStringLiteral("Sind Sie sich sicher, dass sie das Zielsystem \"B\" löschen wollen?"));
        QCOMPARE(visible_buttons(*m_dlg->info()),
                 (QStringList{"m_pushButton_entfernen_abbrechen", "m_pushButton_entfernen_ja"}));
        click("m_pushButton_entfernen_abbrechen");
        QVERIFY(!m_dlg->is_info_shown());
        QCOMPARE(m_dlg->current_page(), Dlg::PAGE_BE_LOCAL);
        QCOMPARE(names(stored_routes()), (QStringList{"A2", "B", "C"}));

        click("m_btn_local_delete");
        click("m_pushButton_entfernen_ja");
        QCOMPARE(m_dlg->current_page(), Dlg::PAGE_LIST);
        QCOMPARE(names(stored_routes()), (QStringList{"A2", "C"}));
        // The active route "C" moved up by one.
        QCOMPARE(m_db->m_routes.m_route_default, 1);
        auto* group = m_dlg->findChild<QButtonGroup*>(QStringLiteral("m_buttonGroup_targets"));
        QCOMPARE(group->checkedButton()->text(), QStringLiteral("C"));
    }

    void demo_route_exists_once()
    {
        add_routes({test_route("Haus", "10.0.0.1")});
        QSignalSpy cleared(m_dlg.get(), &Dlg::clear_project_timeout);
        for (int attempt = 0; attempt < 2; ++attempt) {
            connect_target(0);
            QCOMPARE(names(stored_routes()), (QStringList{"Haus", "Demo-VPN"}));
        }
        QCOMPARE(cleared.size(), 2);
        QCOMPARE(m_db->m_routes.m_route_default, 1);
        QCOMPARE(fields(m_client->route()), fields(test_route("Demo-VPN", controller_host())));

        // Every route has its button, the demo route too; a connection
        // removes the demo route only from the end of the list.
        m_dlg->show_targets();
        auto* group = m_dlg->findChild<QButtonGroup*>(QStringLiteral("m_buttonGroup_targets"));
        QCOMPARE(group->buttons().size(), 3);
        QCOMPARE(group->button(0)->text(), QStringLiteral("Demo-Modus"));
        QCOMPARE(group->checkedButton()->text(), QStringLiteral("Demo-VPN"));
        connect_target(1);
        QCOMPARE(names(stored_routes()), QStringList{"Haus"});
        QCOMPARE(m_db->m_routes.m_route_default, 0);
        m_db->m_routes.m_list_route.insert(m_db->m_routes.m_list_route.begin(), test_route("Demo-VPN", "10.0.0.2"));
        connect_target(2);
        QCOMPARE(names(stored_routes()), (QStringList{"Demo-VPN", "Haus"}));
        QCOMPARE(m_db->m_routes.m_route_default, 1);
    }

    void online_target_and_serial_choice()
    {
        add_routes({test_route("Haus", "10.0.0.1")});
        fill_online_page();
        fill("m_lineEdit_neu_online_name", QStringLiteral(" Ferienhaus "));
        fill("m_lineEdit_neu_online_password", QStringLiteral("ctl-pw"));
        fill("m_lineEdit_neu_mail", QStringLiteral(" me@example.com "));
        fill("m_lineEdit_neu_mail_password", QStringLiteral("Pässwort"));
        click("m_btn_neu_online_connect");
        // The window stays live while the account service is asked.
        QCOMPARE(m_dlg->info()->mode(), Info::Mode::Connecting);
        QCOMPARE(m_db->m_routes.m_list_route.size(), size_t(1));
        QTRY_COMPARE(names(stored_routes()), (QStringList{"Haus", "Ferienhaus"}));
        QCOMPARE(m_salt_service->paths(), QStringList{"/getSalt/me@example.com"});
        const KV_Routes::_route route = stored_routes().at(1);
        QCOMPARE(fields(route), fields(test_route("Ferienhaus", controller_host(), "x", "ctl-pw")) + "|online");
        QCOMPARE(route.m_str_mail, std::string("me@example.com"));
        QCOMPARE(route.m_str_passwd_sha512_online,
                 kv_crypto::pbkdf2_sha512_hex(QStringLiteral("Pässwort").toUtf8().toStdString(), SALT.toStdString()));
        QCOMPARE(m_dlg->state(), Dlg::STATE_CONNECTING);
        QCOMPARE(m_client->route().m_str_name, std::string("Ferienhaus"));

        // 1010: the route goes and the serials are offered; the chosen one
        // completes the kept fields.
        m_dlg->online_serials(QStringLiteral(" 111 ;;222;"));
        QCOMPARE(names(stored_routes()), QStringList{"Haus"});
        QCOMPARE(m_db->m_routes.m_route_default, 0);
        QVERIFY(!m_client->is_reconnect_wanted());
        QCOMPARE(m_dlg->info()->mode(), Info::Mode::Serial_Choice);
        const QList<QPushButton*> offered =
            m_dlg->info()->findChild<QWidget*>(QStringLiteral("m_widget_serials"))->findChildren<QPushButton*>();
        QCOMPARE(offered.size(), 2);
        QCOMPARE(offered[0]->text(), QStringLiteral("111"));
        offered[1]->click();
        QCOMPARE(m_dlg->current_page(), Dlg::PAGE_NEU_ONLINE);
        QCOMPARE(edit("m_lineEdit_neu_online_serial")->text(), QStringLiteral("222"));
        // "******" stands for the digests already made: no second salt request.
        QCOMPARE(edit("m_lineEdit_neu_mail_password")->text(), QStringLiteral("******"));
        click("m_btn_neu_online_connect");
        QTRY_COMPARE(names(stored_routes()), (QStringList{"Haus", "Ferienhaus"}));
        QCOMPARE(stored_routes()[1].m_str_serial, std::string("222"));
        QCOMPARE(stored_routes()[1].m_str_passwd_md5, route.m_str_passwd_md5);
        QCOMPARE(stored_routes()[1].m_str_passwd_sha512_online, route.m_str_passwd_sha512_online);
        QCOMPARE(m_salt_service->paths().size(), 1);
    }

    void no_plain_password_after_a_route_is_saved_data()
    {
        QTest::addColumn<int>("edited"); // route being edited, 0 for a new one
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("save");
        QTest::addColumn<QStringList>("plain");
        QTest::addColumn<QStringList>("secret");
        for (const char* stage : {"neu_man", "neu_local"}) {
            const QString prefix = QStringLiteral("m_lineEdit_%1_").arg(stage);
            QTest::newRow(stage) << 0 << QStringLiteral("m_headerbtn_%1").arg(stage)
                                 << QStringLiteral("m_btn_%1_connect").arg(stage)
                                 << QStringList{prefix + "name", prefix + "ip", prefix + "username"}
                                 << QStringList{prefix + "password"};
        }
        QTest::newRow("neu_online") << 0 << "m_headerbtn_neu_online" << "m_btn_neu_online_connect"
                                    << QStringList{ONLINE_FIELDS[0], ONLINE_FIELDS[1], ONLINE_FIELDS[3]}
                                    << QStringList{ONLINE_FIELDS[2], ONLINE_FIELDS[4]};
        QTest::newRow("be_local") << 1 << "" << "m_btn_local_save" << QStringList()
                                  << QStringList{"m_lineEdit_be_local_password"};
        QTest::newRow("be_online") << 2 << "" << "m_btn_online_save" << QStringList()
                                   << QStringList{"m_lineEdit_be_online_password", "m_lineEdit_be_mail_password"};
    }
    void no_plain_password_after_a_route_is_saved()
    {
        QFETCH(int, edited);
        QFETCH(QString, open);
        QFETCH(QString, save);
        QFETCH(QStringList, plain);
        QFETCH(QStringList, secret);
        const QString password = QStringLiteral("Geheim-7wq");
        KV_Routes::_route online = test_route("O", "x");
        online.m_use_kv_dns_svr = true;
        online.m_str_mail = "o@example.com";
        add_routes({test_route("L", "10.0.0.1"), online});
        Trace_Capture trace;
        if (edited)
            click_edit(edited);
        else
            click(qPrintable(open));
        for (const QString& name : plain)
            fill(qPrintable(name), name.right(4));
        for (const QString& name : secret)
            fill(qPrintable(name), password);
        click(qPrintable(save));
        const std::string digest = kv_crypto::md5_hex(password.toStdString());
        const auto stored = [&] {
            for (const KV_Routes::_route& route : stored_routes())
                if (route.m_str_passwd_md5 == digest)
                    return true;
            return false;
        };
        QTRY_VERIFY(stored());

        for (QLineEdit* field : m_dlg->findChildren<QLineEdit*>()) {
            QVERIFY2(!field->text().contains(password), qPrintable(field->objectName()));
            field->undo();
            QVERIFY2(!field->text().contains(password), qPrintable(field->objectName()));
        }
        QFile file(QString::fromStdString(m_path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains(password.toLatin1()));
        QVERIFY(!trace.text().contains(password.toLatin1()));
    }

    void online_account_failures_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("401") << 401 << QStringLiteral("E-Mail Adresse existiert nicht")
                             << QStringLiteral("Bitte registrieren Sie sich im ZRQ-Connect!");
        QTest::newRow("Err") << 500 << QStringLiteral("Verbindung zu ZRQ-Connect nicht möglich")
                             << QStringLiteral("Bitte überprüfen Sie die Internetverbindung!");
    }
    void online_account_failures()
    {
        QFETCH(int, status);
        QFETCH(QString, title);
        QFETCH(QString, text);
        m_salt_service = std::make_unique<KV_Test_Http_Responder>(status, "nope");
        m_dlg = std::make_unique<Dlg>(m_db.get(), m_client.get(), local_setup(m_salt_service->port()));
        fill_online_page();
        click("m_btn_neu_online_connect");
        QTRY_COMPARE(m_dlg->info()->mode(), Info::Mode::Message);
        QCOMPARE(m_dlg->info()->title(), title);
        QCOMPARE(m_dlg->info()->text(), text);
        QVERIFY(m_db->m_routes.m_list_route.empty());
        QCOMPARE(m_dlg->state(), Dlg::STATE_IDLE);
    }

    void connecting_and_controller_answers()
    {
        add_routes({test_route("Haus", controller_host())});
        connect_target(1);
        QVERIFY(m_dlg->is_connect_timer_active());
        QCOMPARE(m_dlg->info()->text(), QStringLiteral("Verbindung zum Zielsystem wird hergestellt ..."));
        QVERIFY(visible_buttons(*m_dlg->info()).isEmpty());
        QTRY_VERIFY(m_client->is_connected());

        // 11: the attempt is over; the project's arrival shows success.
        m_dlg->stop_connect_timer();
        QCOMPARE(m_dlg->state(), Dlg::STATE_IDLE);
        m_dlg->project_arrived();
        QCOMPARE(m_dlg->info()->mode(), Info::Mode::Success);
        QVERIFY(visible_buttons(*m_dlg->info()).isEmpty());

        // A refused login ends the attempt and the link for good (the panel
        // it shows is checked against the simulator through the main window).
        connect_target(1);
        m_dlg->login_refused();
        QVERIFY(!m_dlg->is_connect_timer_active());
        QVERIFY(!m_client->is_reconnect_wanted());
        // Both failures offer the way back to the list and another try.
        const QStringList after_failure{"m_pushButton_auswahl", "m_pushButton_erneut"};
        QCOMPARE(visible_buttons(*m_dlg->info()), after_failure);
        m_dlg->project_failed();
        QCOMPARE(visible_buttons(*m_dlg->info()), after_failure);
    }

    void connection_timer_reports_failure()
    {
        add_routes({test_route("Haus", "127.0.0.1:1")});
        m_dlg->set_connect_timeout(50);
        connect_target(1);
        QCOMPARE(m_dlg->info()->mode(), Info::Mode::Connecting);
        QTRY_COMPARE(m_dlg->info()->mode(), Info::Mode::Connection_Failed);
        QCOMPARE(m_dlg->info()->text(), TEXT_NOT_CONNECTED);
        QCOMPARE(m_dlg->state(), Dlg::STATE_IDLE);

        // Expiry while the panel is not shown changes nothing on it.
        connect_target(1);
        m_dlg->hide_info();
        QTRY_VERIFY(!m_dlg->is_connect_timer_active());
        QVERIFY(!m_dlg->is_info_shown());
        QCOMPARE(m_dlg->info()->mode(), Info::Mode::Connecting);
    }

    void search_fills_new_local_page()
    {
        click("m_headerbtn_search");
        QVERIFY(m_dlg->search()->is_running());

        // The entry carries the sender's address, not the one the controller names.
        KV_SysInfo answer;
        answer.m_str_ip = "192.168.7.20";
        answer.m_str_mac = "00:1a:2b:3c:4d:5e";
        m_search_answerer->writeDatagram(QByteArray::fromStdString(answer.encode()), QHostAddress::LocalHost,
                                         m_dlg->search()->listen_port());
        auto* found = m_dlg->findChild<QButtonGroup*>(QStringLiteral("m_buttonGroup_search"));
        QTRY_COMPARE(found->buttons().size(), 1);

        click("m_btn_local_search_weiter");
        QCOMPARE(m_dlg->current_page(), Dlg::PAGE_NEU_LOCAL);
        QVERIFY(!m_dlg->search()->is_running());
        QCOMPARE(edit("m_lineEdit_neu_local_password")->echoMode(), QLineEdit::Password);
        click("m_btn_neu_local_connect");
        QCOMPARE(fields(stored_routes().at(0)),
                 fields(test_route("192.168.7.20_00:1a:2b:3c:4d:5e", "127.0.0.1")));
    }

    void search_flood_data()
    {
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<size_t>("padding");
        QTest::addColumn<int>("entries");
        QTest::newRow("many controllers") << false << size_t(0) << int(KV_SEARCH_MAX_ENTRIES);
        QTest::newRow("one repeating itself") << true << size_t(0) << 1;
        QTest::newRow("oversized answers") << false << size_t(KV_SEARCH_MAX_ANSWER) << 0;
    }
    void search_flood()
    {
        QFETCH(bool, repeat);
        QFETCH(size_t, padding);
        QFETCH(int, entries);
        click("m_headerbtn_search");
        std::vector<QByteArray> answers = kv_test_search_answers(10000, repeat, padding);
        {
            KV_Test_Answer_Flood flood(m_dlg->search()->listen_port(), std::move(answers));
            QTRY_VERIFY_WITH_TIMEOUT(flood.done(), 30000);
        }
        auto* found = m_dlg->findChild<QButtonGroup*>(QStringLiteral("m_buttonGroup_search"));
        QTRY_COMPARE(found->buttons().size(), entries);
        QTest::qWait(100); // whatever is still on its way
        QCOMPARE(found->buttons().size(), entries);
        QCOMPARE(m_dlg->search()->entries().size(), size_t(entries));
    }

    // (Choosing a serial is checked in the dialog's online flow.)
    void info_offers_each_serial_once()
    {
        Info info;
        info.show_serial_choice({QStringLiteral("A1"), QStringLiteral("B2")});
        info.show_serial_choice({QStringLiteral("C3"), QStringLiteral("D4")});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QWidget* serials = info.findChild<QWidget*>(QStringLiteral("m_widget_serials"));
        QCOMPARE(serials->findChildren<QPushButton*>().size(), 2);
        QCOMPARE(serials->findChildren<QPushButton*>().at(1)->text(), QStringLiteral("D4"));
        QCOMPARE(visible_buttons(info), QStringList{"m_pushButton_missing"});

        // Leaving the choice removes the serial buttons.
        info.show_connecting();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(serials->findChildren<QPushButton*>().isEmpty());
        QVERIFY(!serials->isVisibleTo(&info));
    }

private:
    QLineEdit* edit(const char* name) const { return m_dlg->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    void click(const char* name) const
    {
        QPushButton* button = m_dlg->findChild<QPushButton*>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        button->click();
    }
    void fill(const char* name, const QString& text) const { edit(name)->setText(text); }
    bool marked(const char* name) const { return edit(name)->property("error").toBool(); }
    void click_in_group(const char* group_name, int id) const
    {
        auto* group = m_dlg->findChild<QButtonGroup*>(QString::fromLatin1(group_name));
        QVERIFY(group && group->button(id));
        group->button(id)->click();
    }
    void connect_target(int id) const
    {
        m_dlg->show_targets();
        click_in_group("m_buttonGroup_targets", id);
        click("m_btn_connect");
    }
    void click_edit(int id) const { click_in_group("m_buttonGroup_bearbeiten", id); }
    void fill_online_page() const
    {
        click("m_headerbtn_neu_online");
        for (const char* name : ONLINE_FIELDS)
            fill(name, QStringLiteral("x"));
    }
    // The route list as it is in the file, not in memory.
    std::vector<KV_Routes::_route> stored_routes() const
    {
        CKV_Project_Db reader;
        if (!reader.load(m_path))
            return {};
        return reader.m_routes.m_list_route;
    }
    void add_routes(std::initializer_list<KV_Routes::_route> routes)
    {
        for (const KV_Routes::_route& route : routes)
            m_db->m_routes.m_list_route.push_back(route);
        QVERIFY(m_db->save_routes());
        m_dlg->show_targets();
    }
    std::string controller_host() const { return "127.0.0.1:" + std::to_string(m_controller->serverPort()); }
    Dlg::Network_Setup local_setup(quint16 salt_port) const
    {
        Dlg::Network_Setup setup;
        setup.online_host = QString::fromStdString(controller_host());
        setup.salt.base_url = QStringLiteral("http://127.0.0.1");
        setup.salt.first_port = salt_port;
        setup.salt.second_port = salt_port;
        setup.salt.timeout_ms = 2000;
        setup.search_port = 0;
        return setup;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::string m_path;
    std::unique_ptr<CKV_Project_Db> m_db;
    std::unique_ptr<QTcpServer> m_controller;
    std::unique_ptr<CKV_Studio_Network_Client> m_client;
    std::unique_ptr<KV_Test_Http_Responder> m_salt_service;
    // Stands in for a controller on the network: answers search requests.
    std::unique_ptr<QUdpSocket> m_search_answerer;
    std::unique_ptr<Dlg> m_dlg;
};

QTEST_MAIN(Tst_Dlg_Zielsystem)
#include "tst_dlg_zielsystem.moc"
