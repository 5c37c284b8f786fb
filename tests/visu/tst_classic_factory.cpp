// The factory creates each classic class for its type numbers, with the
// type kept when the record is stored back.

#include <QtTest>

#include "kv_classic_host.h"
#include "kv_gui_control.h"

class tst_classic_factory : public QObject {
    Q_OBJECT

private slots:
    void each_type_creates_its_class()
    {
        const std::vector<std::pair<int, const char*>> expected = {
            {14, "CKV_Gui_Control_Image"},
            {15, "CKV_Gui_Control_Image_OnOff"},
            {16, "CKV_Gui_Control_Fuellstand"},
            {17, "CKV_Gui_Control_Form"},
            {19, "CKV_Gui_Control_Analoganzeige"},
            {20, "CKV_Gui_Control_Alarmanzeige"},
            {21, "CKV_Gui_Control_Image_Gif"},
            {22, "CKV_Gui_Control_Image_Value"},
            {123, "CKV_Gui_Control_Button_Startapp"},
            {124, "CKV_Gui_Control_Button_Sound"},
            {125, "CKV_Gui_Control_Button_Exit"},
            {210, "CKV_Gui_Control_Sprachumschaltung"},
            {1504, "CKV_Gui_Control_App_Seitenwechsel_Slider"},
        };
        KV_Classic_Page p;
        for (const auto& [type, class_name] : expected)
            p.add(type, "{t" + std::to_string(type) + "}");
        p.build();
        for (const auto& [type, class_name] : expected) {
            const std::string guid = "{t" + std::to_string(type) + "}";
            const CKV_Gui_Control* control = p.canvas()->find_control(guid);
            QVERIFY(control);
            QCOMPARE(QString::fromLatin1(control->metaObject()->className()), QString::fromLatin1(class_name));
            QCOMPARE(control->type(), type);
        }
        p.canvas()->store_controls();
        for (const auto& entry : expected)
            QCOMPARE(p.page->find_control("{t" + std::to_string(entry.first) + "}")->m_typ, entry.first);
    }
};

QTEST_MAIN(tst_classic_factory)
#include "tst_classic_factory.moc"
