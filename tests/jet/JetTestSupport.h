// Shared by the Jet engine tests: the fixtures, running mdb-export as an independent reader,
// and a CSV reader to compare its output with ours.
#pragma once

#include "Commands.h"
#include "Database.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace jettest {

using Table = std::vector<std::vector<std::string>>; // rows of fields, header first

inline QString Fixtures() {
    return QStringLiteral(VORLEK_FIXTURES) + "/access";
}

inline bool HaveFixtures() {
    return QDir(Fixtures()).exists();
}

// Every update is flushed to disk; on a memory file system the many flushes of a test cost
// nothing, so scratch files go there when there is one.
inline QString ScratchTemplate() {
    const QFileInfo shm("/dev/shm");
    const QString root = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return root + "/vorlek-jet-XXXXXX";
}

inline bool HaveMdbTools() {
    return !QStandardPaths::findExecutable("mdb-export").isEmpty();
}

// RFC 4180, also accepting bare LF line ends (mdb-export writes them).
inline Table ParseCsv(const std::string& text) {
    Table rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field.push_back('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field.push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
            any = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field.clear();
            any = false;
        } else {
            field.push_back(c);
            any = true;
        }
    }
    if (any || !field.empty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

inline std::string Run(const QString& program, const QStringList& args, int* status = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(5000);
    }
    if (status)
        *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput().toStdString();
}

inline std::string MdbExport(const QString& file, const QString& table) {
    const QString iso = "%Y-%m-%d %H:%M:%S";
    return Run("mdb-export", {"-D", iso, "-T", iso, "-b", "hex", file, table});
}

struct ToolResult {
    int status = 0;
    std::string out;
    std::string err;
};

inline ToolResult Tool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"vorlek-db"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::ostringstream out;
    std::ostringstream err;
    ToolResult r;
    r.status = vorlek::db::RunTool(argv, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A copy of a fixture in `dir`, writable.
inline QString CopyFixture(const QString& name, const QString& dir) {
    const QString to = dir + "/" + QFileInfo(name).fileName();
    QFile::remove(to);
    QFile::copy(Fixtures() + "/" + name, to);
    QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return to;
}

// Fields of one type, ours and mdb-export's: exact for integers and text, numerically for
// floating point and currency, hex in either case for bytes.
inline bool SameNumber(const std::string& a, const std::string& b, double tolerance) {
    char* endA = nullptr;
    char* endB = nullptr;
    const double x = std::strtod(a.c_str(), &endA);
    const double y = std::strtod(b.c_str(), &endB);
    if (*endA || *endB || a.empty() || b.empty())
        return false;
    return std::fabs(x - y) <= tolerance * std::max({1.0, std::fabs(x), std::fabs(y)});
}

inline bool SameField(vorlek::jet::ColumnType type, const std::string& ours,
                      const std::string& theirs) {
    switch (type) {
    case vorlek::jet::ColumnType::Money:
        return ours == theirs || SameNumber(ours, theirs, 1e-12);
    case vorlek::jet::ColumnType::Single:
        return ours == theirs || SameNumber(ours, theirs, 1e-6);
    case vorlek::jet::ColumnType::Double:
        return ours == theirs || SameNumber(ours, theirs, 1e-9);
    case vorlek::jet::ColumnType::GUID:
        // mdb-export gives the braced text form (hex-coded under -b hex), without the last dash
        if (QByteArray::fromHex(QByteArray::fromStdString(theirs)).replace('-', "") ==
            QByteArray::fromStdString(ours).replace('-', ""))
            return true;
        [[fallthrough]];
    case vorlek::jet::ColumnType::Binary:
    case vorlek::jet::ColumnType::OLE:
        return QString::fromStdString(ours).compare(QString::fromStdString(theirs),
                                                    Qt::CaseInsensitive) == 0;
    default:
        return ours == theirs;
    }
}

} // namespace jettest
