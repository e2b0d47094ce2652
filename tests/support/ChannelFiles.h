#pragma once

#include "DefaultChannels.h"
#include "RecordFrames.h"
#include "codepage.h"
#include "jet/Database.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Channel databases for tests, and what a meter must hold after uploading one.
namespace testing {

inline QString Fixture(const QString& relative) {
    return QStringLiteral(VORLEK_FIXTURES "/") + relative;
}

// Writes the default channel list as `dir`/VorlekII.mdb, as `vorlek-db create` does.
inline QString CreateChannelFile(const QString& dir) {
    const QString path = QDir(dir).filePath(QStringLiteral("VorlekII.mdb"));
    QFile::remove(path);
    vorlek::jet::CreateDatabase(path.toStdString(), vorlek::store::ChannelTables(true));
    return path;
}

inline QString CopyChannelFile(const QString& from, const QString& dir) {
    const QString path = QDir(dir).filePath(QStringLiteral("VorlekII.mdb"));
    QFile::remove(path);
    QFile::copy(from, path);
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

// The meter's memory (16 bytes a slot, 0x0800..0x19FF) after a whole upload of
// the file, read afresh: each slot from the first row with its key, null as
// empty text or 0.
inline QByteArray ExpectedMeterImage(const QString& path) {
    using namespace vorlek;
    auto db = jet::Database::Open(path.toStdString());
    const auto text = [](const jet::Value& v) {
        const auto* s = std::get_if<std::u16string>(&v);
        return s ? Utf16ToWindows1254(*s) : std::string();
    };
    const auto number = [](const jet::Value& v) {
        const auto* n = std::get_if<std::int64_t>(&v);
        return n ? static_cast<std::int32_t>(*n) : 0;
    };
    const auto sats = db->ReadRows(db->Table("T_SatList"));
    const auto tps = db->ReadRows(db->Table("T_TPList"));
    QByteArray image;
    const auto add = [&image](const RecordFrame& f) {
        image.append(reinterpret_cast<const char*>(f.data()) + 4, 16);
    };
    for (int s = 0; s < kSatSlots; ++s) {
        std::string name;
        for (const auto& row : sats) {
            if (number(row.values[0]) == SatKey(s)) {
                name = text(row.values[1]);
                break;
            }
        }
        add(*BuildSatFrame(s, name));
    }
    for (int t = 0; t < kTPSlots; ++t) {
        std::string name;
        TransponderValues v;
        for (const auto& row : tps) {
            if (number(row.values[0]) == TPSatKey(t) && number(row.values[1]) == TPKey(t)) {
                name = text(row.values[2]);
                v = {name, number(row.values[3]), number(row.values[4]), number(row.values[5])};
                break;
            }
        }
        v.name = name;
        add(*BuildTPFrame(t, v));
    }
    return image;
}

} // namespace testing
