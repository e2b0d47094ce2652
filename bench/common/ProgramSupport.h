#pragma once

#include "ChannelGrid.h"
#include "DefaultChannels.h"
#include "Unit1.h"
#include "jet/Database.h"

#include <QDir>
#include <QFile>

// What the program's benchmarks share: a fresh channel file and the grid in the window.
namespace bench {

inline QString CreateChannelFile(const QString& dir) {
    const QString path = QDir(dir).filePath(QStringLiteral("VorlekII.mdb"));
    QFile::remove(path);
    vorlek::jet::CreateDatabase(path.toStdString(), vorlek::store::ChannelTables(true));
    return path;
}

// Opens the first satellite onto its transponders, as a user would have it.
inline void ShowGrid(TForm1& form) { form.cxGrid1->SetExpanded(0, true); }

} // namespace bench
