#pragma once

#include "MeterProcess.h"

#include <QFile>

// vorlek-meter for a test: dumping its memory at the end, its summary kept.
struct MeterRun : vorlek::meter::MeterProcess {
    QString dump;
    QString summary; // the last line: what it stored, sent and dropped

    bool Start(const QString& dumpFile, const QStringList& faults = {}) {
        dump = dumpFile;
        return MeterProcess::Start(QStringLiteral(VORLEK_BINARY_DIR "/bin/vorlek-meter"),
                                   QStringList{"--dump", dump} + faults);
    }
    // Ends the meter and returns its memory image.
    QByteArray Stop() {
        const QStringList lines = MeterProcess::Stop().split('\n', Qt::SkipEmptyParts);
        summary = lines.isEmpty() ? QString() : lines.last();
        QFile f(dump);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
