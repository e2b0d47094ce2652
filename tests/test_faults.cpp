// The faults an upload and an edit meet outside the program: a meter that
// garbles, splits, repeats or loses acknowledgements, a device that goes away,
// and a database file that cannot be written or changes underneath.
#include "Application.h"
#include "ErrorBox.h"
#include "Meter.h"
#include "PtyPair.h"
#include "Unit1.h"
#include "jet/Messages.h"
#include "support/ChannelFiles.h"
#include "support/MeterRun.h"
#include "support/ShownErrors.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QColor kLime(0, 255, 0);
constexpr int kUploadMs = 90000;

// Set in main: root can write any file, so a read-only file needs a
// read-only mount, made in a namespace of the test's own.
bool g_privateMounts = false;

void Connect(TForm1& form, const QString& port) {
    form.CB_Port->setEditText(port);
    QTest::mouseClick(form.BT_CONNECT, Qt::LeftButton);
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

// An edit posted from the event loop, the way the grid posts one, so a
// failure reaches the application's error box.
void EditRow(TForm1& form, vorlek::store::Query& query, vorlek::store::Field& field, int record,
             const std::u16string& text) {
    query.MoveTo(record);
    query.Edit();
    field.SetText(text);
    QMetaObject::invokeMethod(
        &form, [&query] { query.Post(); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
}

void EditFirstSatellite(TForm1& form) {
    EditRow(form, form.ADOQ_SatList, form.ADOQ_SatListDescr, 0, u"Yeni Uydu");
}

const std::u16string kLongTPName(12, u'\u015E'); // Ş

// Gives transponders the longest names, one after another, until the next
// one fits on no page of its table any more; the file is left just before
// that one, whose record index is returned (-1 if all fit).
int FillTransponderPages(const QString& path) {
    auto file = vorlek::jet::Database::Open(path.toStdString());
    const auto& table = file->Table("T_TPList");
    const auto rows = file->ReadRows(table);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QByteArray before = FileBytes(path);
        auto after = rows[i].values;
        after[2] = kLongTPName;
        file->UpdateRow(table, rows[i], after);
        if (QFileInfo(path).size() != before.size()) {
            file.reset();
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                f.write(before) != before.size())
                return -1;
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Makes the database file unwritable for as long as it lives.
class Unwritable {
public:
    Unwritable(const QString& dir, const QString& file) : dir_(dir.toLocal8Bit()) {
        if (geteuid() != 0) {
            ok_ = ::chmod(file.toLocal8Bit().constData(), 0444) == 0;
            return;
        }
        if (!g_privateMounts)
            return;
        mounted_ = ::mount(dir_.constData(), dir_.constData(), nullptr, MS_BIND, nullptr) == 0;
        ok_ = mounted_ && ::mount(nullptr, dir_.constData(), nullptr,
                                  MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    ~Unwritable() {
        if (mounted_)
            ::umount2(dir_.constData(), MNT_DETACH);
    }
    bool Ok() const { return ok_; }

private:
    QByteArray dir_;
    bool mounted_ = false;
    bool ok_ = false;
};

// No write may reach `limit` bytes into any file while it lives, as if the
// disk were full there.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit r = old_;
        r.rlim_cur = limit;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &r) == 0;
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }
    bool Ok() const { return ok_; }

private:
    rlimit old_{};
    bool ok_ = false;
};

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    // Noise before every third acknowledgement, all of them with the older
    // command byte, and the acknowledgement of transponder 254 sent twice, so
    // transponder 255 goes out twice and the finish is raised twice.
    void uploadThroughNoiseOldCommandAndARepeat() {
        UploadThrough({"--noise-every", "3", "--cmd11", "--repeat-every", "287"},
                      "records stored 289 (slots held 288), bad frames 0, "
                      "acknowledgements sent 290, dropped 0");
    }

    // Every acknowledgement in two halves, the second after the next poll.
    void uploadThroughSplitAcknowledgements() {
        UploadThrough({"--split", "--noise-every", "5"},
                      "records stored 288 (slots held 288), bad frames 0, "
                      "acknowledgements sent 288, dropped 0");
    }

    // The 100th acknowledgement (transponder 67) is lost: nothing happens
    // until UPLOAD, which starts again from satellite slot 0.
    void droppedAcknowledgementStallsUntilUpload() {
        QTemporaryDir dir;
        const QString db = testing::CreateChannelFile(dir.path());
        MeterRun meter;
        QVERIFY(meter.Start(dir.filePath("memory.bin"), {"--drop-once", "100"}));
        ShownErrors errors;
        TForm1 form(nullptr, dir.path() + '/');
        form.show();
        Connect(form, meter.path);
        QVERIFY(form.CPD.IsOpen());

        QTest::mouseClick(form.BT_SEND, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(form.cxPB_Sat->value(), 32 + 66, 30000);
        QTest::qWait(500); // ten polls
        QCOMPARE(form.cxPB_Sat->value(), 32 + 66);
        QVERIFY(!form.Timer1->isActive());

        QTest::mouseClick(form.BT_SEND, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(form.cxPB_Sat->value() < 10, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(form.Timer1->isActive(), kUploadMs);
        QCOMPARE(form.cxPB_Sat->value(), 286);
        form.close();
        QVERIFY(errors.texts.isEmpty());
        QCOMPARE(meter.Stop(), testing::ExpectedMeterImage(db));
        QCOMPARE(meter.summary, QStringLiteral("vorlek-meter: records stored 388 (slots held 288), "
                                               "bad frames 0, acknowledgements sent 387, "
                                               "dropped 1"));
    }

    void deviceVanishingMidUpload_data() {
        QTest::addColumn<bool>("killMeter"); // else the test's own pseudo-terminal closes
        QTest::newRow("meter killed") << true;
        QTest::newRow("pseudo-terminal closed") << false;
    }
    void deviceVanishingMidUpload() {
        QFETCH(bool, killMeter);
        QTemporaryDir dir;
        testing::CreateChannelFile(dir.path());
        MeterRun process;
        PtyPair pty;
        vorlek::meter::Meter meter;
        if (killMeter)
            QVERIFY(process.Start(dir.filePath("memory.bin"), {}));
        else
            QVERIFY(pty.Ok());

        ShownErrors errors;
        TForm1 form(nullptr, dir.path() + '/');
        form.show();
        Connect(form, killMeter ? process.path : pty.path);
        QVERIFY(form.CPD.IsOpen());
        QTest::mouseClick(form.BT_SEND, Qt::LeftButton);
        QElapsedTimer clock;
        clock.start();
        while (form.cxPB_Sat->value() < 20 && clock.elapsed() < 30000) {
            QTest::qWait(5);
            if (killMeter)
                continue;
            const QByteArray in = pty.ReadAll();
            for (std::uint16_t address :
                 meter.Receive(reinterpret_cast<const std::uint8_t*>(in.constData()),
                               static_cast<std::size_t>(in.size()))) {
                const auto a = vorlek::meter::BuildAck(address);
                QCOMPARE(::write(pty.master, a.data(), a.size()), ssize_t(a.size()));
            }
        }
        QVERIFY(form.cxPB_Sat->value() >= 20);

        if (killMeter) {
            process.process.kill();
            QVERIFY(process.process.waitForFinished(5000));
        } else {
            pty.CloseMaster();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!form.CPD.IsOpen(), 5000);
        QVERIFY(form.BT_CONNECT->palette().color(QPalette::ButtonText) != kLime);
        const int stoppedAt = form.cxPB_Sat->value();
        QTest::mouseClick(form.BT_SEND, Qt::LeftButton); // sends into a closed port: nothing
        QTest::qWait(200);
        QCOMPARE(form.cxPB_Sat->value(), stoppedAt);
        QVERIFY(!form.Timer1->isActive());
        QVERIFY(errors.texts.isEmpty());

        PtyPair next; // the program goes on: another device can be connected
        QVERIFY(next.Ok());
        Connect(form, next.path);
        QVERIFY(form.CPD.IsOpen());
        QCOMPARE(form.BT_CONNECT->palette().color(QPalette::ButtonText), kLime);
        form.close();
    }

    void refusedWriteLeavesTheFileAsItWas_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("read-only file") << "read-only"
                                        << "Cannot update.  Database or object is read-only.";
        // A limit of 0 refuses every write; the page's own offset refuses the
        // row's page and no other.
        QTest::newRow("disk full at the start") << "full:0"
                                                << "Disk or network error.";
        QTest::newRow("disk full from the row's page") << "full:page"
                                                       << "Disk or network error.";
        // The file has to grow: the row fits on no page of its table any more.
        QTest::newRow("disk full for a new page") << "full:grow"
                                                  << "Disk or network error.";
    }
    void refusedWriteLeavesTheFileAsItWas() {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString db = testing::CreateChannelFile(dir.path());
        const int growing = fault == "full:grow" ? FillTransponderPages(db) : -1;
        if (fault == "full:grow")
            QVERIFY(growing >= 0);
        const QByteArray before = FileBytes(db);

        std::unique_ptr<Unwritable> readOnly;
        if (fault == "read-only") {
            readOnly = std::make_unique<Unwritable>(dir.path(), db);
            if (!readOnly->Ok())
                QSKIP("root, and no private mount namespace for a read-only mount");
        }
        ShownErrors errors;
        TForm1 form(nullptr, dir.path() + '/');
        QVERIFY(errors.texts.isEmpty());
        QVERIFY(form.ADOQ_SatList.Active());

        std::unique_ptr<FileSizeLimit> limit;
        if (fault.startsWith("full:")) {
            const rlim_t at = fault == "full:0"      ? 0
                              : fault == "full:grow" ? static_cast<rlim_t>(before.size())
                                                     : SatellitePageOffset(db);
            QVERIFY(at <= static_cast<rlim_t>(before.size()));
            limit = std::make_unique<FileSizeLimit>(at);
            QVERIFY(limit->Ok());
        }
        if (growing >= 0)
            EditRow(form, form.ADOQ_TPList, form.ADOQ_TPListDescr, growing, kLongTPName);
        else
            EditFirstSatellite(form);
        limit.reset();

        QCOMPARE(errors.texts, QStringList{message});
        if (growing >= 0) {
            QCOMPARE(form.ADOQ_TPList.State(), vorlek::store::DataSetState::Edit);
            QCOMPARE(form.ADOQ_TPListDescr.AsText(), kLongTPName);
        } else {
            QCOMPARE(form.ADOQ_SatList.State(), vorlek::store::DataSetState::Edit);
            QCOMPARE(form.ADOQ_SatListDescr.AsText(), std::u16string(u"Yeni Uydu"));
        }
        QCOMPARE(FileBytes(db), before);
        form.close();
    }

    // Another program shortens or rewrites the file while the window has it open.
    void fileChangedUnderneath_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message"); // empty: the edit is written
        const QString changed = vorlek::jet::msg::kRowChanged;
        QTest::newRow("truncated to nothing") << "truncate:0" << changed;
        QTest::newRow("truncated to two pages") << "truncate:8192" << changed;
        QTest::newRow("truncated at the satellites' page") << "truncate:sat" << changed;
        QTest::newRow("truncated inside the satellites' page") << "truncate:sat+100" << changed;
        QTest::newRow("rewritten with another list") << "rewrite" << changed;
        // The name now leads to a new file; the old one, still open, takes the edit.
        QTest::newRow("renamed over") << "rename" << QString();
    }
    void fileChangedUnderneath() {
        QFETCH(QString, change);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString db = testing::CreateChannelFile(dir.path());
        QTemporaryDir other;
        const QString otherDb = testing::CreateChannelFile(other.path());
        {
            // The same shape with every value empty: the rows are where they were, their values
            // not.
            QFile::remove(otherDb);
            vorlek::jet::CreateDatabase(otherDb.toStdString(), vorlek::store::ChannelTables(false));
        }

        ShownErrors errors;
        TForm1 form(nullptr, dir.path() + '/');
        QVERIFY(errors.texts.isEmpty());
        if (change.startsWith("truncate:")) {
            const QString to = change.mid(9);
            const qint64 size = to.startsWith("sat")
                                    ? qint64(SatellitePageOffset(db)) + to.mid(4).toLongLong()
                                    : to.toLongLong();
            QVERIFY(size < QFileInfo(db).size());
            QVERIFY(QFile::resize(db, size));
        } else if (change == "rewrite") {
            QFile f(db);
            QVERIFY(f.open(QIODevice::ReadWrite)); // in place: the open file itself changes
            const QByteArray replacement = FileBytes(otherDb);
            QVERIFY(f.resize(0));
            QCOMPARE(f.write(replacement), qint64(replacement.size()));
        } else {
            QVERIFY(::rename(otherDb.toLocal8Bit().constData(), db.toLocal8Bit().constData()) == 0);
        }
        const QByteArray after = FileBytes(db);

        EditFirstSatellite(form);
        if (message.isEmpty()) {
            QVERIFY(errors.texts.isEmpty());
            QCOMPARE(form.ADOQ_SatList.State(), vorlek::store::DataSetState::Browse);
        } else {
            QCOMPARE(errors.texts, QStringList{message});
            QCOMPARE(form.ADOQ_SatList.State(), vorlek::store::DataSetState::Edit);
        }
        QCOMPARE(FileBytes(db), after); // nothing written, least of all past its end
        form.close();
    }

private:
    void UploadThrough(const QStringList& faults, const QString& summary) {
        QTemporaryDir dir;
        const QString db = testing::CreateChannelFile(dir.path());
        MeterRun meter;
        QVERIFY(meter.Start(dir.filePath("memory.bin"), faults));
        ShownErrors errors;
        TForm1 form(nullptr, dir.path() + '/');
        form.show();
        Connect(form, meter.path);
        QVERIFY(form.CPD.IsOpen());

        QTest::mouseClick(form.BT_SEND, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(form.Timer1->isActive(), kUploadMs);
        QTest::qWait(300); // a repeat still on its way
        QCOMPARE(form.cxPB_Sat->value(), 286);
        QCOMPARE(form.Rx.RxCount, 0);
        form.close();
        QVERIFY(errors.texts.isEmpty());
        QCOMPARE(meter.Stop(), testing::ExpectedMeterImage(db));
        QCOMPARE(meter.summary, "vorlek-meter: " + summary);
    }

    // Where the page holding the first satellite row starts in the file.
    static rlim_t SatellitePageOffset(const QString& path) {
        auto file = vorlek::jet::Database::Open(path.toStdString());
        const auto rows = file->ReadRows(file->Table("T_SatList"));
        return rows.empty() ? 0 : static_cast<rlim_t>(rows[0].id.page) * 4096;
    }
};

int main(int argc, char** argv) {
    // Before any thread exists: a mount namespace cannot be entered later.
    if (geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0)
        g_privateMounts = true;
    std::signal(SIGXFSZ, SIG_IGN); // a refused write fails with EFBIG instead
    VorlekApplication app(argc, argv);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_faults.moc"
