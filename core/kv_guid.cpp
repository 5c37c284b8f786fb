#include "kv_guid.h"

#include <cstdio>
#include <random>

std::string kv_new_guid()
{
    // Seeded once per thread from the system's entropy; identities need
    // uniqueness, not secrecy.
    thread_local std::mt19937_64 generator{[] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }()};
    uint64_t high = generator();
    uint64_t low = generator();
    high = (high & ~0xF000ULL) | 0x4000ULL;                     // version 4
    low = (low & 0x3FFFFFFFFFFFFFFFULL) | 0x8000000000000000ULL; // variant 10xx

    char out[40];
    snprintf(out, sizeof out, "{%08x-%04x-%04x-%04x-%012llx}", static_cast<unsigned>(high >> 32),
             static_cast<unsigned>((high >> 16) & 0xFFFF), static_cast<unsigned>(high & 0xFFFF),
             static_cast<unsigned>(low >> 48), static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
    return out;
}
