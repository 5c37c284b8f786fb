#include "kv_http_get.h"

#include "kv_trace.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace {
size_t append_body(char* data, size_t size, size_t count, void* user)
{
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

struct Curl_Deleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
} // namespace

CKV_Http_Get::Result CKV_Http_Get::get(const std::string& url, long timeout_ms)
{
    static std::once_flag global_init;
    std::call_once(global_init, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    Result result;
    std::unique_ptr<CURL, Curl_Deleter> handle(curl_easy_init());
    if (!handle) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "http get: no curl handle\n");
        return result;
    }
    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeout_ms);
    // Worker threads must not get the resolver's alarm signal.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, append_body);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);

    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "http get %s: %s\n", url.c_str(), curl_easy_strerror(code));
        result.body.clear();
        return result;
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    return result;
}
