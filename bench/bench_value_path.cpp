// The value path on a large project: 10,000 group addresses, 100 pages of 50
// controls, every page built as a canvas. Telegrams to random addresses go
// through the tree and to the controls, once through the subscription index
// and once the plain way (walk the whole tree, ask every control), with
// controls that format text and with controls that only store a number.
// Also: time from the loaded project to all canvases built and the first
// page shown. Run with QT_QPA_PLATFORM=offscreen.

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "../tests/visu/kv_fake_host.h"
#include "kv_bench_probe.h"
#include "kv_gui_container.h"
#include "kv_gui_control.h"
#include "kv_gui_value_dispatch.h"

namespace {
constexpr int kAddresses = 10000;
constexpr int kPages = 100;
constexpr int kControlsPerPage = 50;
constexpr int kIndexedTelegrams = 400000;
constexpr int kPlainTelegrams = 2000;

KV_Group_Address address_of(int n)
{
    return KV_Group_Address{uint32_t(1 + n / 2000), uint32_t(n / 200 % 10), uint32_t(n % 200 + 1)};
}

// Wall time and this thread's CPU time: the machine running the benchmark may
// be shared, and CPU time shows the work itself.
class Stopwatch {
public:
    Stopwatch() { restart(); }
    void restart()
    {
        m_wall.start();
        m_cpu_ns = kv_thread_cpu_ns();
    }
    double wall_s() const { return m_wall.nsecsElapsed() / 1e9; }
    double cpu_s() const { return double(kv_thread_cpu_ns() - m_cpu_ns) / 1e9; }

private:
    QElapsedTimer m_wall;
    qint64 m_cpu_ns = 0;
};

// Per second of wall time and of CPU time, or seconds of each.
struct Rate {
    double wall = 0;
    double cpu = 0;
};

Rate rate(size_t count, const Stopwatch& watch)
{
    return {count / watch.wall_s(), count / watch.cpu_s()};
}

struct Project {
    KV_Fake_Host host;
    std::vector<std::unique_ptr<CKV_Gui_Control_Container_Sv>> pages;

    // Every tenth address also listens to another one.
    void fill_tree()
    {
        for (int n = 0; n < kAddresses; ++n) {
            std::vector<KV_Group_Address> listen;
            if (n % 10 == 0)
                listen.push_back(address_of((n * 7 + 3) % kAddresses));
            host.add_address(address_of(n), 9, listen);
        }
    }

    // Each control shows one or two random addresses.
    void fill_pages(int type, const std::vector<std::pair<const char*, std::string>>& params)
    {
        QRandomGenerator random(11);
        for (int p = 0; p < kPages; ++p) {
            KV_GUI_Page& page = host.add_page("{page-" + std::to_string(p) + "}", 1024, 576);
            for (int c = 0; c < kControlsPerPage; ++c) {
                std::vector<KV_Group_Address> entries = {address_of(random.bounded(kAddresses))};
                if (c % 3 == 0)
                    entries.push_back(address_of(random.bounded(kAddresses)));
                KV_GUI_Control& record = KV_Fake_Host::add_control(
                    page, type, "{c-" + std::to_string(p) + "-" + std::to_string(c) + "}", entries, params);
                record.m_x = (c % 10) * 100;
                record.m_y = (c / 10) * 110;
            }
        }
    }

    // All canvases built, the first page shown and painted.
    Rate build()
    {
        Stopwatch timer;
        for (const auto& page : host.pages) {
            auto* canvas = new CKV_Gui_Control_Container(host, *page);
            pages.emplace_back(canvas->scroll_area());
            canvas->scroll_area()->resize(1280, 720);
        }
        pages.front()->show();
        QApplication::processEvents();
        return {timer.wall_s(), timer.cpu_s()};
    }

    // Every canvas leaves the value path, as when a new project replaces
    // this one: CPU time in all and of the longest canvas.
    struct Leave {
        double total_s = 0;
        double longest_s = 0;
    };
    Leave leave()
    {
        Leave result;
        for (const auto& page : pages) {
            Stopwatch timer;
            page->canvas()->leave_value_path();
            result.total_s += timer.cpu_s();
            result.longest_s = std::max(result.longest_s, timer.cpu_s());
        }
        return result;
    }
};

std::vector<KV_Addr_Tgm> random_telegrams(int count)
{
    QRandomGenerator random(23);
    std::vector<KV_Addr_Tgm> telegrams(static_cast<size_t>(count));
    for (KV_Addr_Tgm& telegram : telegrams) {
        const float value = float(random.bounded(10000)) / 10.0f;
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        telegram = make_telegram(address_of(random.bounded(kAddresses)), KV_TGM_WRITE,
                                 {uint8_t(bits >> 24), uint8_t(bits >> 16), uint8_t(bits >> 8), uint8_t(bits)});
    }
    return telegrams;
}

// The plain design: visit every address of the tree, then ask every control
// of every page.
int plain_path(Project& project, const KV_Addr_Tgm& telegram)
{
    const KV_Group_Address dest{telegram.dest_address[0], telegram.dest_address[1], telegram.dest_address[2]};
    for (const auto& hg : project.host.tree.main_groups())
        for (const auto& mg : hg->middle_groups())
            for (const auto& address : mg->addresses()) {
                bool concerned = address->m_addr_write == dest;
                for (const KV_Group_Address& listen : address->m_addr_listen)
                    concerned = concerned || listen == dest;
                if (concerned && address->m_data_typ != 0)
                    std::memcpy(address->m_data, telegram.value, sizeof address->m_data);
            }
    int matched = 0;
    for (const auto& page : project.pages)
        for (CKV_Gui_Control* control : page->canvas()->controls())
            matched += control->on_telegram(telegram) ? 1 : 0;
    return matched;
}

struct Rates {
    Rate indexed;
    Rate indexed_with_loop;
    Rate plain;
    long matched = 0;
};

Rates measure(Project& project, const std::vector<KV_Addr_Tgm>& telegrams)
{
    Rates rates;
    Stopwatch timer;
    for (const KV_Addr_Tgm& telegram : telegrams)
        rates.matched += project.host.dispatch().on_telegram(telegram);
    rates.indexed = rate(telegrams.size(), timer);

    // As the client delivers a burst: the event loop runs after every 102nd
    // net variable, so the shown page repaints in between.
    timer.restart();
    for (size_t i = 0; i < telegrams.size(); ++i) {
        project.host.dispatch().on_telegram(telegrams[i]);
        if (i % 102 == 101)
            QApplication::processEvents();
    }
    rates.indexed_with_loop = rate(telegrams.size(), timer);

    timer.restart();
    for (int i = 0; i < kPlainTelegrams; ++i)
        plain_path(project, telegrams[size_t(i)]);
    rates.plain = rate(kPlainTelegrams, timer);
    return rates;
}

void run(const char* title, int type, const std::vector<std::pair<const char*, std::string>>& params,
         const std::vector<KV_Addr_Tgm>& telegrams)
{
    Project project;
    project.fill_tree();
    project.fill_pages(type, params);
    const Rate build = project.build();
    const Rates rates = measure(project, telegrams);
    const Project::Leave leave = project.leave();
    std::printf("%s\n", title);
    std::printf("  build %d canvases (%d controls), first page shown: %.0f ms wall, %.0f ms CPU\n", kPages,
                kPages * kControlsPerPage, build.wall * 1e3, build.cpu * 1e3);
    std::printf("  (%.2f controls shown per telegram)       telegrams/s wall   telegrams/s CPU\n",
                double(rates.matched) / telegrams.size());
    std::printf("  indexed:                              %14.0f %17.0f\n", rates.indexed.wall, rates.indexed.cpu);
    std::printf("  indexed, event loop every 102nd:      %14.0f %17.0f\n", rates.indexed_with_loop.wall,
                rates.indexed_with_loop.cpu);
    std::printf("  plain (walk tree, ask all controls):  %14.0f %17.0f\n", rates.plain.wall, rates.plain.cpu);
    std::printf("  all canvases leave the value path: %.2f ms CPU, longest canvas %.3f ms\n",
                leave.total_s * 1e3, leave.longest_s * 1e3);
    std::printf("  speed-up indexed / plain:             %13.0fx %16.0fx\n", rates.indexed.wall / rates.plain.wall,
                rates.indexed.cpu / rates.plain.cpu);
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::vector<KV_Addr_Tgm> telegrams = random_telegrams(kIndexedTelegrams);
    std::printf("%d addresses, %d pages x %d controls, %d telegrams indexed, %d plain\n", kAddresses, kPages,
                kControlsPerPage, kIndexedTelegrams, kPlainTelegrams);
    run("value displays, \"%.1f °C\" formatted per value:", 1, {{"Format", "%.1f °C"}}, telegrams);
    run("progress bars, no formatting:", 104, {}, telegrams);
    return 0;
}
