#pragma once
// Lookup speed: nanoseconds per key over all 10,000 four-digit keys, for
// the index and for the plain in-order search, measured in one run.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "lookup/exchange_table.h"
#include "tests/unit/in_order_search.h"

inline double LookupBench() {
    std::vector<std::wstring> keys;
    for (int n = 0; n < 10000; ++n) {
        wchar_t buf[16];
        swprintf(buf, 16, L"%04d1234", n);
        keys.push_back(buf);
    }
    auto time = [&](auto find, int rounds) {
        size_t sink = 0;
        auto t0 = std::chrono::steady_clock::now();
        for (int r = 0; r < rounds; ++r)
            for (const auto& k : keys) sink += reinterpret_cast<size_t>(find(k));
        auto t1 = std::chrono::steady_clock::now();
        if (sink == 42) std::printf(" ");
        return std::chrono::duration<double, std::nano>(t1 - t0).count() / (rounds * keys.size());
    };
    lookup::FindExchange(keys[0]);  // build the index outside the timing
    double fast = time([](const std::wstring& k) { return lookup::FindExchange(k); }, 200);
    double slow = time([](const std::wstring& k) { return testref::FindExchangeInOrder(k); }, 3);
    std::printf("lookup: index %.1f ns/key, in-order search %.1f ns/key, ratio %.0fx\n", fast,
                slow, slow / fast);
    return slow / fast;
}
