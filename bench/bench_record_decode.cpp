// Encode and decode times of the largest records: full clock and scene
// lists and a control with every address slot and parameter.

#include <chrono>
#include <cstdio>
#include <string>

#include "kv_gui.h"
#include "kv_settings.h"

namespace {
template <class R>
void measure(const char* name, R& record, int rounds)
{
    using clock = std::chrono::steady_clock;
    const auto t0 = clock::now();
    std::string text;
    for (int i = 0; i < rounds; ++i)
        text = record.encode();
    const auto t1 = clock::now();
    for (int i = 0; i < rounds; ++i)
        R back(text);
    const auto t2 = clock::now();
    const auto ms = [rounds](auto d) { return std::chrono::duration<double, std::milli>(d).count() / rounds; };
    printf("%-34s %8zu bytes  encode %9.3f ms  decode %9.3f ms\n", name, text.size(), ms(t1 - t0), ms(t2 - t1));
}

KV_Settings_Scene scenes(int count, int items)
{
    KV_Settings_Scene s;
    s.m_list_scene.resize(static_cast<size_t>(count));
    for (int n = 0; n < count; ++n) {
        s.m_list_scene[n].m_str_name = "Szene " + std::to_string(n);
        s.m_list_scene[n].m_list_item.resize(static_cast<size_t>(items));
    }
    return s;
}

KV_Settings_Clock clocks(int count, int times)
{
    KV_Settings_Clock c;
    c.m_list_clock.resize(static_cast<size_t>(count));
    for (auto& clock : c.m_list_clock)
        clock.m_list_time.resize(static_cast<size_t>(times));
    return c;
}
} // namespace

int main()
{
    KV_GUI_Control control;
    control.m_list_addr.resize(KV_GUI_Control::MAX_ADDR, {1, 2, 3});
    control.m_list_param.resize(KV_GUI_Control::MAX_PARAM, "12/5/0");
    measure("control, 64 slots, 90 params", control, 200);

    KV_Settings_Scene typical = scenes(50, 8);
    measure("scenes 50 x 8 items", typical, 20);
    KV_Settings_Scene full = scenes(1024, 4);
    measure("scenes 1024 x 4 items", full, 1);

    KV_Settings_Clock some = clocks(30, 8);
    measure("clocks 30 x 8 times", some, 20);
    KV_Settings_Clock all = clocks(255, 16);
    measure("clocks 255 x 16 times", all, 1);
    return 0;
}
