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

// Puts the channel grid in the window with a satellite opened onto its
// transponders. A window that already hosts the grid keeps its own.
inline void ShowGrid(TForm1& form) {
    auto* grid = qobject_cast<vorlek::ui::ChannelGrid*>(form.cxGrid1);
    if (!grid) {
        grid = new vorlek::ui::ChannelGrid(form, form.cxGrid1->parentWidget());
        grid->setGeometry(form.cxGrid1->geometry());
        form.cxGrid1->hide();
        grid->show();
    }
    grid->SetExpanded(0, true);
}

} // namespace bench
