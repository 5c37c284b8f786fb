#pragma once
// A busy or hostile LAN for the controller search: search answers sent to a
// local port from a thread of its own at a steady rate.

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "kv_routes.h"

// The answers of count controllers; with repeat, one controller answering
// count times, naming a new address and writing its MAC differently each time.
inline std::vector<QByteArray> kv_test_search_answers(int count, bool repeat, size_t padding = 0)
{
    std::vector<QByteArray> answers;
    for (int i = 0; i < count; ++i) {
        KV_SysInfo info;
        info.m_str_ip = "10.9." + std::to_string(i / 256) + "." + std::to_string(i % 256);
        const int id = repeat ? 0x4711 : i;
        char mac[18];
        std::snprintf(mac, sizeof mac, i % 2 && repeat ? "00-1A-2B-3C-%02X-%02X" : "00:1a:2b:3c:%02x:%02x",
                      (id >> 8) & 0xff, id & 0xff);
        info.m_str_mac = mac;
        info.m_str_serial = "KV" + std::to_string(id);
        info.m_str_project_name = std::string(padding, 'x');
        answers.push_back(QByteArray::fromStdString(info.encode()));
    }
    return answers;
}

class KV_Test_Answer_Flood {
public:
    // Sends every answer to the local port, per_second of them a second.
    KV_Test_Answer_Flood(quint16 port, std::vector<QByteArray> answers, int per_second = 10000)
        : m_thread([this, port, answers = std::move(answers), per_second] { run(port, answers, per_second); })
    {
    }
    ~KV_Test_Answer_Flood() { m_thread.join(); }
    bool done() const { return m_done; }

private:
    void run(quint16 port, const std::vector<QByteArray>& answers, int per_second)
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const auto start = std::chrono::steady_clock::now();
        for (size_t i = 0; i < answers.size(); ++i) {
            if (i % 100 == 0) // in bursts of 100, as a switch delivers them
                std::this_thread::sleep_until(start + std::chrono::microseconds(i * 1000000 / size_t(per_second)));
            ::sendto(fd, answers[i].constData(), size_t(answers[i].size()), 0, reinterpret_cast<sockaddr*>(&to),
                     sizeof to);
        }
        ::close(fd);
        m_done = true;
    }

    std::atomic<bool> m_done{false};
    std::thread m_thread;
};
