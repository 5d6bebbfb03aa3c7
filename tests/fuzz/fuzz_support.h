#pragma once
// What the fuzz targets share: a check that turns a broken property into a
// finding, the input split into a selector byte and the bytes proper, and a
// service object whose warnings are recorded instead of shown.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "prep/job_tables.h"
#include "service/core.h"
#include "support/recorders.h"

// Not assert(): it must hold in every build type the targets are built in.
#define FUZZ_CHECK(cond)                                                                     \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

// The first byte picks the variant of a run (its bits are the target's to
// read); the rest is the text under test.
struct CFuzzInput {
    unsigned flags = 0;
    std::string_view bytes;
};

inline CFuzzInput SplitInput(const std::uint8_t* data, size_t size) {
    if (size == 0)
        return {};
    return {data[0], std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)};
}

// g_pCore and allocated job tables, made once per process; each input starts
// with no warnings recorded.
inline CRecordingDialogHost& FuzzCore() {
    static const auto host = std::make_unique<CRecordingDialogHost>();
    static const auto core = [] {
        auto made = std::make_unique<CCore>();
        made->SetDialogHost(host.get());
        g_pCore = made.get();
        g_jobTables.Allocate();
        return made;
    }();
    host->warnings.clear();
    return *host;
}
