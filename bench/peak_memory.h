// SPDX-License-Identifier: MIT
// The process's peak resident memory, as the benchmarks report it.
#pragma once

#include <QFile>

// VmHWM of /proc/self/status in KiB; -1 when it cannot be read.
inline long PeakRssKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}
