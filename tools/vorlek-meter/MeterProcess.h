#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vorlek::meter {

// vorlek-meter as a child process, on a pseudo-terminal of its own: its first
// line names the device to connect to. For tests and benchmarks.
struct MeterProcess {
    QProcess process;
    QString path;

    bool Start(const QString& program, const QStringList& options) {
        process.start(program, options);
        if (!process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100 && !process.canReadLine(); ++i)
            process.waitForReadyRead(50);
        const QString first = QString::fromUtf8(process.readLine()).trimmed();
        const QString prefix = QStringLiteral("vorlek-meter: listening on ");
        path = first.startsWith(prefix) ? first.mid(prefix.size()) : QString();
        return !path.isEmpty();
    }
    // Ends it; returns what it printed after the first line.
    QString Stop() {
        process.terminate();
        process.waitForFinished(5000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }
};

} // namespace vorlek::meter
