#pragma once
// One blocking HTTP(S) GET with a time-out. Safe to call from any thread;
// callers on the GUI thread must move it to a worker (see CKV_Salt_Client).

#include <string>

class CKV_Http_Get {
public:
    struct Result {
        long status = 0; // HTTP status; 0 when no answer came (time-out, refused, bad address)
        std::string body;
    };

    static Result get(const std::string& url, long timeout_ms);
};
