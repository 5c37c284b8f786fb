// The colour controls: they refuse without their logic block; the RGBW
// control's views and short click; the colour overlay mixes hue,
// saturation and brightness into four channels and keeps presets in its
// block, sending the block as 600 and 602; the sequence control edits the
// steps of its block's sequences and starts one on the right slots.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "kv_gui_classic_color.h"
#include "kv_gui_color_sequence.h"
#include "kv_gui_tiles.h"
#include "kv_tile_test.h"

namespace {
using Overlay = CKV_Gui_Control_Tile_Overlay_Base;
constexpr uint32_t PERCENT = 6;
constexpr uint32_t FLOAT = 5;
constexpr int RGBW = 1512;
constexpr int SEQUENCE = 1526;
const char* const UNLINKED = "Keine Logik mit dem Bedienelement verknüpft. Klicken Sie mit der rechten maustaste auf "
                             "das Bedienelement und verknüpfen es mit einer entsprechenden Logik.";

// A page with one colour control on 4/0/1 and on, linked to block "{rgbw}".
template <class Control>
Control* build(KV_Test_Page& p, int type, KV_Params params, const std::vector<KV_LOGIC_Param>& block_params = {})
{
    add_block(p.host, "{rgbw}", 0, block_params);
    const auto addresses =
        slot_addresses(p.host, 4, 0, type == SEQUENCE ? 8 : 4, [](int slot) { return slot >= 6 ? FLOAT : PERCENT; });
    if (std::none_of(params.begin(), params.end(), [](const auto& param) { return std::string(param.first) == "ID"; }))
        params.push_back({"ID", "{rgbw}"});
    p.add(type, "{c}", addresses, params, 300, 80);
    p.build();
    return p.control<Control>("{c}");
}

// Lifts a finger where the slider reads `value`.
void slide_to(CKV_Gui_Control_Widget_Gradient_Slider* slider, double value)
{
    for (int x = 0; x < slider->width(); ++x)
        if (slider->value_at(x) == value) {
            KV_Test_Page::click(slider, QPoint(x, slider->height() / 2));
            return;
        }
    QFAIL("value not on the slider");
}

std::string stored_param(KV_Test_Page& p, const char* name)
{
    const std::string* value = p.host.blocks[0]->param(name);
    return value ? *value : "(none)";
}
} // namespace

class tst_color : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kv_register_tile_controls(); }

    void unlinked_control_only_tells_so()
    {
        for (const auto& [type, id] : {std::pair{RGBW, ""}, std::pair{1525, "{gone}"}, std::pair{SEQUENCE, ""}}) {
            KV_Test_Page p;
            auto* control = build<CKV_Gui_Control_App_Color_Base>(p, type, {{"ID", id}, {"Ansicht", "2"}});
            KV_Test_Page::click(control);
            QCOMPARE(p.host.messages, (std::vector<QString>{QString::fromUtf8(UNLINKED)}));
            QVERIFY(p.host.sent.empty());
            QVERIFY(p.host.texts_sent.empty());
        }
    }

    // A short click opens the overlay in the vertical and popup views; it
    // switches in "Ein/aus" and, without short click, in the horizontal view.
    void short_click_by_view()
    {
        const Slot_Writes on = {{0, 100}, {1, 100}, {2, 100}, {3, 0}};
        const struct {
            const char *view, *short_click;
            unsigned char red_before;
            Slot_Writes writes; // none: the overlay opens
        } cases[] = {
            {"1", "1", 0, {}}, {"3", "1", 0, {}}, {"0", "0", 0, on}, {"2", "1", 0, on},
            {"2", "1", 255, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        };
        for (const auto& c : cases) {
            KV_Test_Page p;
            auto* control =
                build<CKV_Gui_Control_App_RGBW>(p, RGBW, {{"Ansicht", c.view}, {"Kurzer Klick", c.short_click}});
            p.send({4, 0, 1}, c.red_before);
            KV_Test_Page::click(control);
            QCOMPARE(control->overlay() != nullptr, c.writes.empty());
            QCOMPARE(slot_writes(p.host), c.writes);
        }
    }

    void holding_a_switch_opens_the_overlay()
    {
        KV_Test_Page p;
        auto* control = build<CKV_Gui_Control_App_RGBW>(p, RGBW, {{"Ansicht", "2"}});
        QTest::mousePress(control, Qt::LeftButton, {}, QPoint(10, 10));
        QTRY_VERIFY(control->overlay());
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(p.host.sent.empty());
    }

    void overlay_mixes_hue_saturation_and_brightness()
    {
        KV_Test_Page p;
        auto* control = build<CKV_Gui_Control_App_RGBW>(p, RGBW, {});
        KV_Test_Page::click(control);
        auto* overlay = control->overlay();
        QCOMPARE(p.host.texts_sent, (std::vector<std::pair<uint32_t, std::string>>{{600, p.host.blocks[0]->encode()}}));
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);

        // Red sits at the top of the ring; a hue picked on an unlit colour is lit fully.
        CKV_Gui_Color_Editor* editor = overlay->editor();
        const QRect box = editor->ring()->ring_box();
        KV_Test_Page::click(editor->ring(), QPoint(box.center().x(), box.top() + box.height() / 20));
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{0, 100}, {1, 0}, {2, 0}, {3, 0}}));
        const std::pair<CKV_Gui_Control_Widget_Gradient_Slider*, Slot_Writes> steps[] = {
            {editor->saturation(), {{0, 100}, {1, 50}, {2, 50}, {3, 0}}},
            {editor->brightness(), {{0, 50}, {1, 25}, {2, 25}, {3, 0}}},
            {editor->white(), {{0, 50}, {1, 25}, {2, 25}, {3, 50}}},
        };
        for (const auto& [slider, expected] : steps) {
            p.host.sent.clear();
            slide_to(slider, 50);
            QCOMPARE(slot_writes(p.host), expected);
        }
    }

    void presets_come_from_the_block_and_go_back_to_it()
    {
        KV_Test_Page p;
        auto* control = build<CKV_Gui_Control_App_RGBW>(p, RGBW, {});
        KV_Test_Page::click(control);
        auto* overlay = control->overlay();
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);
        CKV_Gui_Overlay_Preset_List* list = overlay->preset_list();
        QCOMPARE(list->rows().size(), 9); // the default set
        QVERIFY(list->empty_label()->isHidden());

        list->rows()[1]->click(); // "Grün"
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{0, 0}, {1, 100}, {2, 0}, {3, 0}}));

        list->name_field()->setText(QStringLiteral("Lesen"));
        list->store_button()->click();
        const std::string stored = stored_param(p, "Voreinstellungen");
        QVERIFY2(stored.starts_with("10#100/0/0/0/Rot#") && stored.ends_with("#0/100/0/0/Lesen"), stored.c_str());
        QCOMPARE(p.host.texts_sent.back().first, 602u);
        QCOMPARE(p.host.texts_sent.back().second, p.host.blocks[0]->encode());
        QCOMPARE(list->rows().size(), 10);

        // Removing every preset leaves an empty list, not the default set.
        while (!list->rows().isEmpty()) {
            const int before = int(list->rows().size());
            list->findChildren<QPushButton*>(QStringLiteral("kv_preset_remove"))[0]->click();
            QTRY_COMPARE(list->rows().size(), before - 1);
        }
        QVERIFY(!list->empty_label()->isHidden());
        QCOMPARE(list->empty_label()->text(), QStringLiteral("Keine Voreinstellung vorhanden."));
        QCOMPARE(stored_param(p, "Voreinstellungen"), std::string("0#"));
    }

    void sequence_is_edited_and_started_on_its_slots()
    {
        KV_Test_Page p;
        auto* control = build<CKV_Gui_Control_App_RGBW_SEQU>(
            p, SEQUENCE, {{"Animation anzeigen", "1"}},
            {{"Sequenz 1", "1#100/0/0/0/0/5/0"}, {"Sequenz 2", "2#0/0/100/0/0/10/0#100/0/0/0/50/20/1"}});
        KV_Test_Page::click(control);
        auto* overlay = control->overlay();
        QCOMPARE(p.host.texts_sent[0].first, 600u);
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);
        QCOMPARE(overlay->chooser()->count(), 2);
        overlay->choose_sequence(1);
        QCOMPARE(overlay->row_texts(), (QStringList{"Schritt 1   00:10   Weich", "Schritt 2   00:20   Hart"}));

        overlay->rows()[0]->click();
        CKV_Gui_Overlay_Sequence_Color_Edit* step = overlay->step_editor();
        QTRY_COMPARE(step->state(), Overlay::State::Open);
        step->set_seconds(75);
        QCOMPARE(step->time_button()->text(), QStringLiteral("01:15"));
        step->hard_button()->click();
        step->done_button()->click();
        QCOMPARE(stored_param(p, "Sequenz 2"), std::string("2#0/0/100/0/0/75/1#100/0/0/0/50/20/1"));
        QCOMPARE(stored_param(p, "Sequenz 1"), std::string("1#100/0/0/0/0/5/0"));
        QCOMPARE(p.host.texts_sent.back().first, 602u);
        QCOMPARE(overlay->row_texts()[0], QStringLiteral("Schritt 1   01:15   Hart"));

        // Number, the time of one run, then the start.
        overlay->start_button()->click();
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{7, 2}, {6, 95}, {0, 1}}));
        // The swatch runs through the steps: blue for 75 s, then red with orange.
        QCOMPARE(control->swatch_color(), QColor(0, 0, 255));
        tick(control, 760);
        QCOMPARE(control->swatch_color().red(), 255);
        QCOMPARE(control->swatch_color().blue(), 0);
        p.host.sent.clear();
        overlay->stop_button()->click();
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{0, 0}}));
    }
};

QTEST_MAIN(tst_color)
#include "tst_color.moc"
