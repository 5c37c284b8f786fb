// The status panel offers exactly the buttons that lead out of each state.
#include "kv_dlg_zielsysteminfo.h"

#include <QPushButton>
#include <QtTest>

using Info = CKV_Dlg_App_Zielsysteminfo;

class Tst_Dlg_Zielsysteminfo : public QObject {
    Q_OBJECT
private slots:
    void buttons_per_state_data();
    void buttons_per_state();
    void serial_choice_offers_each_serial_once();
};

namespace {
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

void Tst_Dlg_Zielsysteminfo::buttons_per_state_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("buttons");
    const QStringList after_failure{"m_pushButton_auswahl", "m_pushButton_erneut"};
    QTest::newRow("connecting") << 0 << QStringList{};
    QTest::newRow("success") << 1 << QStringList{};
    QTest::newRow("connection failed") << 2 << after_failure;
    QTest::newRow("project failed") << 3 << after_failure;
    QTest::newRow("message") << 4 << QStringList{"m_pushButton_missing"};
    QTest::newRow("delete") << 5 << QStringList{"m_pushButton_entfernen_abbrechen", "m_pushButton_entfernen_ja"};
}

void Tst_Dlg_Zielsysteminfo::buttons_per_state()
{
    QFETCH(int, state);
    QFETCH(QStringList, buttons);
    Info info;
    // Start from another state so that every switch is exercised.
    info.show_delete_question(QStringLiteral("x"));
    switch (state) {
    case 0: info.show_connecting(); break;
    case 1: info.show_success(); break;
    case 2: info.show_connection_failed(); break;
    case 3: info.show_project_failed(); break;
    case 4: info.show_message(QStringLiteral("Titel"), QStringLiteral("Text")); break;
    case 5: info.show_delete_question(QStringLiteral("Büro")); break;
    }
    QCOMPARE(visible_buttons(info), buttons);
    QCOMPARE(info.title().isEmpty(), state != 4);
}

void Tst_Dlg_Zielsysteminfo::serial_choice_offers_each_serial_once()
{
    Info info;
    QSignalSpy chosen(&info, &Info::serial_chosen);
    info.show_serial_choice({QStringLiteral("A1"), QStringLiteral("B2")});
    info.show_serial_choice({QStringLiteral("C3"), QStringLiteral("D4")});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QWidget* serials = info.findChild<QWidget*>(QStringLiteral("m_widget_serials"));
    QList<QPushButton*> offered = serials->findChildren<QPushButton*>();
    QCOMPARE(offered.size(), 2);
    QCOMPARE(offered[0]->text(), QStringLiteral("C3"));
    offered[1]->click();
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("D4"));
    QVERIFY(info.findChild<QPushButton*>(QStringLiteral("m_pushButton_missing"))->isVisibleTo(&info));

    // Leaving the choice removes the serial buttons.
    info.show_connecting();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(serials->findChildren<QPushButton*>().isEmpty());
    QVERIFY(!serials->isVisibleTo(&info));
}

QTEST_MAIN(Tst_Dlg_Zielsysteminfo)
#include "tst_dlg_zielsysteminfo.moc"
