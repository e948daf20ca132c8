// SPDX-License-Identifier: MIT
// Fuzzes the reader of ichirun.txt: any bytes give a text whose every line
// ends with CR LF.
#include "core/text_files.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const bool truncated : {false, true}) {
        const QString text = nupew::PoemListText(bytes, truncated);
        if (!text.isEmpty() && !text.endsWith(QStringLiteral("\r\n"))) {
            std::abort();
        }
        if (text.count(u'\r') != text.count(QStringLiteral("\r\n"))) {
            std::abort(); // every CR in the text is the start of a line end
        }
    }
    return 0;
}
