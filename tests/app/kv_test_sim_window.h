#pragma once
// The set-up of the window tests against the controller simulator: a fresh
// working folder per test, a simulator serving a project of its own, and a
// window on a local project whose active route points at the simulator.

#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "../net/kvsim_process.h"
#include "kv_test_main_project.h"
#include "kv_test_settings_home.h"

template <class Window>
class KV_Test_Sim_Window {
protected:
    static constexpr int WAIT_MS = 15000;

    KV_Test_Settings_Home m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Kvsim_Process> m_sim;
    std::unique_ptr<Window> m_window;

    QString local_path() const { return m_dir->filePath(QStringLiteral("kv_app.kvp")); }
    int count(const QString& part) const { return int(m_sim->lines.filter(part).size()); }

    // For init(): the folder the window works in.
    void make_folder()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home.isValid());
        QVERIFY(m_dir->isValid());
        KV_Test_Settings_Home::reset_common(m_dir->path() + QStringLiteral("/"));
    }

    // For cleanup(): the window goes before the simulator and the folder.
    void tear_down()
    {
        m_window.reset();
        m_sim.reset();
        m_dir.reset();
    }

    // The simulator serves "Controller" (two pages, the second for "anna"
    // only, and a foreign route); the local project "Lokal" has one page and
    // two routes, the active one to the simulator. False, with the failure
    // recorded, when that could not be set up.
    [[nodiscard]] bool start(const QStringList& sim_options)
    {
        // QVERIFY returns from the lambda only; the recorded failure tells the caller.
        [&] {
            const QString controller_file = m_dir->filePath(QStringLiteral("controller.kvp"));
            QVERIFY(write_test_project(controller_file, "Controller", {{"{c1}"}, {"{c2}", "anna"}},
                                       {test_route("Fremd", "192.168.9.9", "fremd", "fremd-passwort")}));
            m_sim = std::make_unique<Kvsim_Process>();
            QVERIFY(m_sim->start(QStringList{"--project", controller_file, "--no-discovery", "--full-log"} + sim_options));
            const std::string sim_ip = "127.0.0.1:" + std::to_string(m_sim->port);
            QVERIFY(write_test_project(local_path(), "Lokal", {{"{l}"}},
                                       {test_route("Büro", "10.255.255.1"), test_route("Sim", sim_ip)}, 1));
            m_window = std::make_unique<Window>();
            m_window->set_tick_intervals(50, 500);
            m_window->show();
        }();
        return !QTest::currentTestFailed();
    }
};
