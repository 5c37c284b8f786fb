// Paint time of the demo's busiest page with a background image ("Übersicht":
// evening-sky picture, weather, dial, alarms, scenes, animated bell), per
// frame, at the window size of a 1280 x 800 panel. Two figures:
//   - every frame at the same size: the background's scaled copy is reused;
//   - every frame one pixel wider or narrower than the last: the background
//     is smooth-scaled again in each frame, as every repaint did before the
//     scaled copy was kept.
// Run with QT_QPA_PLATFORM=offscreen.

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../tests/visu/kv_fake_host.h"
#include "kv_demo_project.h"
#include "kv_gui_clock.h"
#include "kv_gui_container.h"
#include "kv_gui_tiles.h"
#include "kv_project_db.h"

namespace {
constexpr int FRAMES = 60;
constexpr int ROUNDS = 5;

// Median milliseconds per frame over the rounds.
double per_frame_ms(CKV_Gui_Control_Container* canvas, bool resize_each_frame)
{
    std::vector<double> rounds;
    const QSize base = canvas->size();
    for (int round = 0; round < ROUNDS; ++round) {
        double total_ns = 0;
        for (int frame = 0; frame < FRAMES; ++frame) {
            if (resize_each_frame) {
                const QSize size = base + QSize(frame % 2, 0);
                canvas->setFixedSize(size);
            }
            QImage target(canvas->size(), QImage::Format_ARGB32_Premultiplied);
            QElapsedTimer clock;
            clock.start();
            canvas->render(&target);
            total_ns += clock.nsecsElapsed();
        }
        rounds.push_back(total_ns / FRAMES / 1e6);
    }
    canvas->setFixedSize(base);
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    kv_register_tile_controls();
    kv_register_clock_controls();

    QTemporaryDir dir;
    CKV_Project_Db db;
    if (!dir.isValid() || !db.load(dir.filePath("demo.kvp").toStdString()) || !kv_build_demo_project(db)) {
        std::fprintf(stderr, "bench_page_paint: the demo project could not be built\n");
        return 1;
    }
    KV_Fake_Host host;
    host.tree = std::move(db.m_addr);
    for (const std::string& name : db.list_files()) {
        std::vector<unsigned char> bytes;
        db.get_file(name, bytes);
        const QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        host.files[QString::fromStdString(name)] = data;
        QPixmap image;
        if (image.loadFromData(data))
            host.images[QString::fromStdString(name)] = image;
    }
    for (auto& page : db.m_logic_pages)
        for (auto& block : page->m_controls)
            host.blocks.push_back(std::move(block));
    const KV_GUI_Page* busiest = nullptr;
    for (auto& page : db.m_gui_pages) {
        if (page->m_str_caption == "Übersicht")
            busiest = page.get();
        host.pages.push_back(std::move(page));
    }
    if (!busiest || busiest->m_str_image_bg.empty()) {
        std::fprintf(stderr, "bench_page_paint: no overview page with a background image\n");
        return 1;
    }

    auto* canvas = new CKV_Gui_Control_Container(host, *busiest);
    std::unique_ptr<CKV_Gui_Control_Container_Sv> area(canvas->scroll_area());
    area->resize(1280, 800);
    area->show();
    QApplication::processEvents();
    const QPixmap background = host.images[QString::fromStdString(busiest->m_str_image_bg)];
    std::printf("page \"%s\": %lld controls, background %dx%d, canvas %dx%d, %d frames x %d rounds (median)\n",
                busiest->m_str_caption.c_str(), static_cast<long long>(canvas->controls().size()), background.width(),
                background.height(), canvas->width(), canvas->height(), FRAMES, ROUNDS);
    per_frame_ms(canvas, false); // warm up: fonts, icons, the first scaled copy
    const double kept = per_frame_ms(canvas, false);
    const double scaled = per_frame_ms(canvas, true);
    std::printf("background scaled in every frame: %.2f ms per frame\n", scaled);
    std::printf("scaled copy kept:                 %.2f ms per frame (%.1fx faster)\n", kept, scaled / kept);
    return 0;
}
