#pragma once

#include "MeterProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

// Pieces the benchmarks share: vorlek-meter as a child process, order
// statistics and the process's memory. Qt only, so the bare window can use them.
namespace bench {

using Meter = vorlek::meter::MeterProcess;

inline double Quantile(std::vector<double> v, double q) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}
inline double Median(const std::vector<double>& v) {
    return Quantile(v, 0.5);
}
inline double Max(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

inline const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

// Resident memory of this process, in KiB, from /proc/self/status.
inline long StatusKiB(const char* key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray want = QByteArray(key) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(want))
            return line.mid(want.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// CPU time this process has used so far, user and system, in milliseconds:
// steadier than the wall clock on a loaded machine.
inline double CpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

} // namespace bench
