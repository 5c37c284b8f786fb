#pragma once
// Helpers the tile tests share: animation ticks, widgets of an overlay or
// popup by name, 4-byte float telegrams, controls whose address slots lie on
// consecutive subgroups, logic blocks, and the addresses of the light controls.

#include <QLabel>
#include <QPushButton>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <functional>

#include "../visu/kv_fake_host.h"
#include "kv_gui_control.h"

inline void tick(CKV_Gui_Control* control, int times)
{
    for (int i = 0; i < times; ++i)
        control->notify_children(100);
}

inline void click_child(QWidget* parent, const QString& name)
{
    auto* button = parent->findChild<QPushButton*>(name);
    QVERIFY2(button, qPrintable(name));
    button->click();
}

inline QString child_text(QWidget* parent, const QString& name)
{
    auto* text = parent->findChild<QLabel*>(name);
    return text ? text->text() : QStringLiteral("(none)");
}

inline void send_float(KV_Test_Page& p, const KV_Group_Address& address, float value)
{
    uint32_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    unsigned char bytes[4];
    qToBigEndian(raw, bytes);
    p.host.dispatch().on_telegram(make_telegram(address, KV_TGM_WRITE, {bytes[0], bytes[1], bytes[2], bytes[3]}));
}

// Slot i on main/middle/(i+1), typed by `type_of`; the `missing` slots are
// known to the project but left off the control.
inline std::vector<KV_Group_Address> slot_addresses(KV_Fake_Host& host, uint32_t main, uint32_t middle, int count,
                                                    const std::function<uint32_t(int)>& type_of,
                                                    const std::vector<int>& missing = {})
{
    std::vector<KV_Group_Address> result;
    for (int slot = 0; slot < count; ++slot) {
        const KV_Group_Address address{main, middle, uint32_t(slot + 1)};
        host.add_address(address, type_of(slot));
        const bool gone = std::find(missing.begin(), missing.end(), slot) != missing.end();
        result.push_back(gone ? KV_Group_Address() : address);
    }
    return result;
}

using Slot_Writes = std::vector<std::pair<int, double>>;

// What was written, as (slot, value) for addresses laid out as above.
inline Slot_Writes slot_writes(const KV_Fake_Host& host)
{
    Slot_Writes result;
    for (const auto& sent : host.sent)
        result.push_back({int(sent.address.sub) - 1, sent.value});
    return result;
}

inline void add_block(KV_Fake_Host& host, const std::string& guid, int type, std::vector<KV_LOGIC_Param> params = {})
{
    auto block = std::make_unique<KV_LOGIC_Control>();
    block->m_typ = type;
    block->m_str_guid = guid;
    block->m_list_param = std::move(params);
    host.blocks.push_back(std::move(block));
}

// A parameter of the block a message text carries.
inline std::string block_param(const std::string& text, const std::string& name)
{
    const KV_LOGIC_Control block(text);
    const std::string* value = block.param(name);
    return value ? *value : "(none)";
}

// The light controls' slots, one address each, in slot order.
// Dimmer: switching, value, switching feedback, value feedback.
inline const std::vector<KV_Group_Address> DIMMER_ADDRESSES = {{1, 0, 1}, {1, 0, 2}, {1, 0, 3}, {1, 0, 4}};
// Relative: dimming, value feedback, switching, switching feedback.
inline const std::vector<KV_Group_Address> PLUS_MINUS_ADDRESSES = {{2, 0, 1}, {2, 0, 2}, {2, 0, 3}, {2, 0, 4}};

// Both lights' addresses known to the project; the dimmer's switching
// feedback has the type given.
inline void add_light_addresses(KV_Fake_Host& host, uint32_t switch_feedback_type)
{
    const uint32_t types[] = {5, 6, switch_feedback_type, 6, 2, 6, 5, 1}; // float, percent, ..., dim step, bit
    for (int i = 0; i < 8; ++i)
        host.add_address((i < 4 ? DIMMER_ADDRESSES : PLUS_MINUS_ADDRESSES)[size_t(i % 4)], types[i]);
}
