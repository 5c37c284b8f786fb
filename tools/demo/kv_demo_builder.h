#pragma once
// Small helpers that place controls on a demo page and fill their parameters
// and address slots by the labels of the control catalogue. Labels or slots
// the catalogue does not know are collected as errors, so that a demo that
// drifts from the catalogue is not written.

#include <span>
#include <string>
#include <vector>

#include "kv_gui.h"

class KV_Demo_Errors {
public:
    void add(std::string text) { m_list.push_back(std::move(text)); }
    bool empty() const { return m_list.empty(); }
    const std::vector<std::string>& list() const { return m_list; }

private:
    std::vector<std::string> m_list;
};

// One address slot of a control and the group address it takes.
struct KV_Demo_Slot {
    const char* slot;
    const char* address;
};

// One state of a multi-state control: "n: Wert", "n: Text" and, when set,
// "n: Hintergrund".
struct KV_Demo_State {
    const char* value;
    const char* text;
    const char* background = nullptr;
};

class KV_Demo_Control {
public:
    KV_Demo_Control(KV_GUI_Control& control, KV_Demo_Errors& errors) : m_control(control), m_errors(errors) {}

    KV_Demo_Control& param(const char* label, const std::string& value);
    KV_Demo_Control& addr(const char* slot, const char* address);
    KV_Demo_Control& addrs(std::span<const KV_Demo_Slot> slots);
    KV_Demo_Control& states(std::span<const KV_Demo_State> states);
    KV_Demo_Control& inside(const KV_GUI_Control& container);
    KV_Demo_Control& font(const char* font);

    KV_GUI_Control& record() { return m_control; }
    const std::string& guid() const { return m_control.m_str_guid; }

private:
    KV_GUI_Control& m_control;
    KV_Demo_Errors& m_errors;
};

class KV_Demo_Page {
public:
    KV_Demo_Page(KV_GUI_Page& page, const std::string& key, KV_Demo_Errors& errors)
        : m_page(page), m_key(key), m_errors(errors)
    {
    }

    // A control of the given type; key names it within the page (its GUID
    // derives from page and key); name is its default text.
    KV_Demo_Control add(int type, const char* key, int x, int y, int width, int height, const std::string& name);

private:
    KV_GUI_Page& m_page;
    std::string m_key;
    KV_Demo_Errors& m_errors;
};

class CKV_Project_Db;

// Appends an empty page with the demo's look; users is the ";"-separated
// user list ("" for everybody). Portrait pages are tile pages.
KV_GUI_Page& kv_demo_new_page(CKV_Project_Db& db, const char* key, const char* caption, const char* users,
                              bool portrait);
