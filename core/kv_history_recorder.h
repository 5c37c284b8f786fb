#pragma once
// Decides which received values go into the history: those of the
// addresses that a logger group's curve names, and, when asked, those of
// every address a page shows. Keeps the latest value of each recorded
// address for the live display.

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "kv_addr.h"
#include "kv_history.h"

class CKV_History_Store;
class KV_Settings_Logger_Group;

class KV_History_Recorder {
public:
    struct Latest {
        int64_t t = 0;
        double value = 0;
    };

    explicit KV_History_Recorder(CKV_History_Store& store);

    void set_logger_groups(const std::vector<KV_Settings_Logger_Group>& groups);
    void set_record_pages(bool on) { m_record_pages = on; }
    bool records_pages() const { return m_record_pages; }
    bool is_logged(const KV_Group_Address& address) const { return m_logged.count(address) > 0; }

    // A received telegram; its value is read as the tree's record of the
    // address says (the telegram's type where the tree has none). Returns
    // whether it was recorded.
    bool on_telegram(const KV_Addr_Tgm& telegram, const KV_Addr_Tree& tree, bool shown_on_page, int64_t now_ms);
    std::optional<Latest> latest(const KV_Group_Address& address) const;

private:
    CKV_History_Store& m_store;
    std::unordered_set<KV_Group_Address, KV_Group_Address_Hash> m_logged;
    std::unordered_map<KV_Group_Address, Latest, KV_Group_Address_Hash> m_latest;
    bool m_record_pages = false;
    KV_Addr_Db m_scratch; // decodes value bytes
};
