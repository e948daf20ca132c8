// SPDX-License-Identifier: MIT
// Fuzzes the reader of the settings files: any bytes give the asked number of
// values, each in 16 bits or empty.
#include "core/settings.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const int count : {2, 4}) {
        const auto values = nupew::ParseRecord(bytes, count);
        if (values.size() != count) {
            std::abort();
        }
    }
    return 0;
}
