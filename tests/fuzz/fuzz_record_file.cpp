// SPDX-License-Identifier: MIT
// Fuzzes the reader of NUPEKI3.DAT: any bytes are read, sorted and written
// back without a crash, and rewriting keeps every byte it does not reorder.
#include "records/score_record.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace nupew;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    RecordFileContents contents = ParseRecordFile(bytes);
    if (contents.rows.size() > tableSize || SerializeRecordFile(contents) != bytes) {
        std::abort();
    }
    SortRows(contents.rows);
    const QByteArray sorted = SerializeRecordFile(contents);
    if (sorted.size() != bytes.size()) {
        std::abort();
    }
    for (const ScoreRecord &row : contents.rows) {
        (void)DecodeShiftJis(row.name);
        (void)DecodeShiftJis(row.stamp);
        (void)QString::number(double(row.time), 'f', 2);
    }
    // Sorted rows stay sorted: fewer faults first, then the shorter time.
    for (qsizetype i = 1; i < contents.rows.size(); ++i) {
        const ScoreRecord &a = contents.rows[i - 1];
        const ScoreRecord &b = contents.rows[i];
        if (a.faults > b.faults) {
            std::abort();
        }
    }
    return 0;
}
