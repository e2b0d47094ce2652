#pragma once

#include <QString>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

// A pseudo-terminal the test holds the master side of; the code under test
// opens the slave by its path, as it would a serial port.
struct PtyPair {
    int master = -1;
    QString path;

    PtyPair() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            path = QString::fromLocal8Bit(ptsname(master));
    }
    ~PtyPair() { CloseMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return master >= 0 && !path.isEmpty(); }
    void CloseMaster() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    QByteArray ReadAll() const {
        QByteArray all;
        char buf[4096];
        ssize_t n;
        while ((n = ::read(master, buf, sizeof buf)) > 0)
            all.append(buf, static_cast<qsizetype>(n));
        return all;
    }
};
