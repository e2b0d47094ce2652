#pragma once

// The channel grid on a window with an UPLOAD button, over an in-memory
// database file, for the grid's tests; with the helpers they type and click with.

#include "ChannelGrid.h"
#include "GridDelegate.h"
#include "GridEditors.h"
#include "support/MemoryTableFile.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeView>

namespace grid_test {

using namespace vorlek;
using namespace vorlek::store;
using namespace vorlek::ui;

// Stands in for the program's error box: what leaves an event handler is
// recorded instead of shown.
class RecordingApp : public QApplication {
public:
    using QApplication::QApplication;
    QStringList errors;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            errors << QString::fromUtf8(e.what());
        }
        return true;
    }
};

inline RecordingApp* App() {
    return static_cast<RecordingApp*>(qApp);
}

// Lets the test keep the file while the connection owns "it".
struct Forward : TableFile {
    explicit Forward(std::shared_ptr<MemoryTableFile> f) : f(std::move(f)) {}
    std::shared_ptr<MemoryTableFile> f;
    const jet::TableDef& Table(const std::string& n) const override { return f->Table(n); }
    std::vector<jet::Row> ReadRows(const jet::TableDef& t) const override { return f->ReadRows(t); }
    void UpdateRow(const jet::TableDef& t, const jet::Row& b,
                   const std::vector<jet::Value>& a) override {
        f->UpdateRow(t, b, a);
    }
};

// The grid on a window with an UPLOAD button, built before the database is
// opened, the way the window does it.
struct Fixture {
    std::shared_ptr<MemoryTableFile> file;
    std::unique_ptr<ChannelComponents> db;
    std::unique_ptr<QWidget> window;
    ChannelGrid* grid = nullptr;
    QPushButton* upload = nullptr;

    explicit Fixture(MemoryTableFile contents = MemoryTableFile::Channels()) {
        file = std::make_shared<MemoryTableFile>(std::move(contents));
        db = std::make_unique<ChannelComponents>(
            [held = file](const std::string&) -> std::unique_ptr<TableFile> {
                return std::make_unique<Forward>(held);
            });
        window = std::make_unique<QWidget>();
        window->resize(505, 673);
        upload = new QPushButton(QStringLiteral("UPLOAD"), window.get());
        upload->setGeometry(344, 0, 145, 33);
        grid = new ChannelGrid(*db, window.get());
        grid->setGeometry(8, 40, 481, 585);
        db->OpenChannelDatabase("/opt/vorlek/");
        window->show();
        window->activateWindow();
        App()->errors.clear();
    }
    ~Fixture() {
        window.reset(); // the grid goes before the queries it is bound to
    }

    QTreeView* tree() const { return grid->SatelliteView(); }
    QModelIndex sat(int record, int column = 1) const {
        return tree()->model()->index(record, column);
    }
    QTableView* tps(int satRecord) const { return grid->TransponderView(satRecord); }

    const jet::Value& stored(const char* table, int row, int column) const {
        return file->tables.at(table)
            .rows.at(static_cast<std::size_t>(row))
            .values.at(static_cast<std::size_t>(column));
    }
    QString storedText(const char* table, int row, int column) const {
        const auto* s = std::get_if<std::u16string>(&stored(table, row, column));
        return s ? QString::fromStdU16String(*s) : QStringLiteral("(null)");
    }
    qint64 storedNumber(int tpRow, int column) const {
        const auto* n = std::get_if<std::int64_t>(&stored("T_TPList", tpRow, column));
        return n ? *n : -1;
    }
};

inline void Click(QAbstractItemView* view, const QModelIndex& index) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

inline void ClickExpandButton(QTreeView* tree, int record) {
    const QRect row = tree->visualRect(tree->model()->index(record, 0));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(tree->indentation() / 2, row.center().y()));
}

// A click on the focused row opens the cell's editor only after the
// double-click time, so the tests that type at once focus the cell directly.
inline void FocusCell(QAbstractItemView* view, const QModelIndex& index) {
    view->setFocus(Qt::MouseFocusReason);
    view->setCurrentIndex(index);
}

// Lets delayed layouts (index widgets, column widths) take place.
inline void Settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

inline QWidget* Focus() {
    return QApplication::focusWidget();
}

inline void Type(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(Focus(), c.toLatin1());
}

inline void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(Focus(), key, modifiers);
}

inline QLineEdit* OpenLineEdit() {
    return qobject_cast<QLineEdit*>(Focus());
}

// Frequency and symbol rate columns of the transponder model.
inline constexpr int kTPDescr = 2, kTPFrequency = 3, kTPPolarisation = 4, kTPSymbolRate = 5;

} // namespace grid_test

// A test class run under the recording application.
#define VORLEK_GRID_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char** argv) {                                                              \
        grid_test::RecordingApp app(argc, argv);                                                   \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
