// The target dialog's search page under a flood of answers: 10,000 answers
// a second from another thread for one second (10,000 controllers, one
// controller repeating itself, answers longer than any real one), the
// dialog styled as in the app. Prints the longest time the event loop
// stood still (wall time, and CPU time of the GUI thread in that turn) and
// the GUI thread's CPU time for the whole second, per round and the worst.
// Goal: longest stall under 50 ms.

#include <QApplication>
#include <QButtonGroup>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

#include "../tests/net/kv_test_answer_flood.h"
#include "kv_bench_probe.h"
#include "kv_discovery.h"
#include "kv_dlg_zielsystem.h"
#include "kv_network_client.h"
#include "kv_project_db.h"
#include "kv_style.h"

namespace {
constexpr int kRounds = 5;
constexpr int kAnswers = 10000;

struct Round {
    double stall_ms;
    double turn_cpu_ms;
    double cpu_ms;
    int entries;
};

Round flood(bool repeat, size_t padding)
{
    QTemporaryDir dir;
    CKV_Project_Db db;
    db.load(dir.filePath(QStringLiteral("kv_app.kvp")).toStdString());
    CKV_Studio_Network_Client client(&db);
    CKV_Dlg_App_Zielsystem::Network_Setup setup = CKV_Dlg_App_Zielsystem::Network_Setup::product();
    setup.search_port = 0;
    CKV_Dlg_App_Zielsystem dialog(&db, &client, setup);
    dialog.search()->set_target(QHostAddress::LocalHost, 9); // requests go nowhere
    dialog.resize(800, 600);
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("m_headerbtn_search"))->click();
    QTest::qWait(50);

    std::vector<QByteArray> answers = kv_test_search_answers(kAnswers, repeat, padding);
    const qint64 cpu_start = kv_thread_cpu_ns();
    const KV_Stall_Probe probe;
    {
        KV_Test_Answer_Flood sender(dialog.search()->listen_port(), std::move(answers));
        while (!sender.done())
            QTest::qWait(10);
    }
    QTest::qWait(200);
    const auto* found = dialog.findChild<QButtonGroup*>(QStringLiteral("m_buttonGroup_search"));
    return {probe.longest_ms(), probe.longest_cpu_ms(), double(kv_thread_cpu_ns() - cpu_start) / 1e6,
            int(found->buttons().size())};
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setStyleSheet(kv_read_style_sheet(kv_app_style_path(KV_STYLE_LIGHT)));
    struct Case {
        const char* name;
        bool repeat;
        size_t padding;
    };
    for (const Case& c : {Case{"10,000 controllers", false, 0}, Case{"one controller repeating", true, 0},
                          Case{"oversized answers", false, size_t(KV_SEARCH_MAX_ANSWER)}}) {
        double worst = 0;
        double worst_turn = 0;
        std::printf("%s:\n", c.name);
        for (int round = 0; round < kRounds; ++round) {
            const Round r = flood(c.repeat, c.padding);
            worst = std::max(worst, r.stall_ms);
            worst_turn = std::max(worst_turn, r.turn_cpu_ms);
            std::printf("  round %d: longest stall %.1f ms wall, %.1f ms CPU; GUI thread CPU %.0f ms; %d entries\n",
                        round + 1, r.stall_ms, r.turn_cpu_ms, r.cpu_ms, r.entries);
        }
        std::printf("  worst of %d rounds: %.1f ms wall, %.1f ms CPU (goal < 50 ms)\n", kRounds, worst, worst_turn);
    }
    return 0;
}
