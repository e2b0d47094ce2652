// bench_startup: from process start to the window shown with the database
// open, and resident memory after a whole upload, each beside
// bench_bare_window, run alternately in the same run.
//
//   bench_startup [--runs N]        the comparison (default 15 starts each)
//   bench_startup --child [--upload METER]
//                                   the program's window from the database
//                                   beside this executable; with --upload a
//                                   whole upload against vorlek-meter
#include "../common/BenchSupport.h"
#include "../common/ProgramSupport.h"
#include "Application.h"
#include "Fonts.h"
#include "Unit1.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>
#include <cstdio>

namespace {

// Where the start-up goes: CPU milliseconds at each step, on one line.
QString g_phases;
void Phase(const char* name) {
    g_phases += QStringLiteral(" %1 %2").arg(QLatin1String(name)).arg(bench::CpuMs(), 0, 'f', 1);
}

int Child(const QString& meterProgram) {
    TForm1 form;
    Phase("window");
    if (!form.ADOQ_SatList.Active()) {
        std::printf("database not open\n");
        return 1;
    }
    bench::ShowGrid(form);
    Phase("grid");
    form.show();
    while (!form.windowHandle() || !form.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    Phase("shown");
    std::printf("shown cpu %.1f\nphases%s\n", bench::CpuMs(), qPrintable(g_phases));
    std::fflush(stdout);
    if (meterProgram.isEmpty())
        return 0;

    bench::Meter meter;
    if (!meter.Start(meterProgram, {}))
        return 1;
    form.CB_Port->setEditText(meter.path);
    form.BT_CONNECT->click();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (form.Timer1->isActive())
            loop.quit();
    });
    check.start(20);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    form.BT_SEND->click();
    loop.exec();
    const bool finished = form.Timer1->isActive();
    std::printf("memory VmRSS %ld VmHWM %ld upload %s\n", bench::StatusKiB("VmRSS"),
                bench::StatusKiB("VmHWM"), finished ? "finished" : "NOT finished");
    meter.Stop();
    return finished ? 0 : 1;
}

struct Start {
    double shownMs = -1;
    double cpuMs = -1;
    long rss = -1;
    long hwm = -1;
};

Start Launch(const QString& program, const QStringList& args) {
    Start s;
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return s;
    while (p.state() != QProcess::NotRunning || p.canReadLine()) {
        if (!p.canReadLine() && !p.waitForReadyRead(90000))
            break;
        while (p.canReadLine()) {
            const QString line = QString::fromUtf8(p.readLine()).trimmed();
            if (line.startsWith("shown")) {
                s.shownMs = clock.nsecsElapsed() / 1e6;
                s.cpuMs = line.split(' ').value(2).toDouble();
            } else if (line.startsWith("memory ")) {
                const QStringList f = line.split(' ');
                s.rss = f.value(2).toLong();
                s.hwm = f.value(4).toLong();
            }
        }
    }
    p.waitForFinished(90000);
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QStringList args = [&] {
        QStringList a;
        for (int i = 0; i < argc; ++i)
            a << QString::fromLocal8Bit(argv[i]);
        return a;
    }();
    if (args.contains("--child")) {
        Phase("main");
        VorlekApplication app(argc, argv);
        Phase("application");
        vorlek::ui::LoadWindowFonts();
        Phase("fonts");
        const int at = static_cast<int>(args.indexOf("--upload"));
        return Child(at > 0 ? args.value(at + 1) : QString());
    }

    QCoreApplication app(argc, argv);
    int runs = 15;
    const int at = static_cast<int>(args.indexOf("--runs"));
    if (at > 0)
        runs = args.value(at + 1).toInt();
    const QString dir = QCoreApplication::applicationDirPath();
    const QString self = QCoreApplication::applicationFilePath();
    const QString bare = dir + "/bench_bare_window";
    std::vector<double> program, plain, programCpu, plainCpu;
    for (int i = 0; i < runs; ++i) {
        const Start b = Launch(bare, {});
        const Start p = Launch(self, {"--child"});
        plain.push_back(b.shownMs);
        plainCpu.push_back(b.cpuMs);
        program.push_back(p.shownMs);
        programCpu.push_back(p.cpuMs);
    }
    std::printf("start-up to the window shown (median of %d): program %.1f ms (database open, "
                "grid with a satellite expanded), bare window %.1f ms\n",
                runs, bench::Median(program), bench::Median(plain));
    const double ratio = bench::Median(program) / bench::Median(plain);
    std::printf("  ratio %.2f  target within 1.5x: %s\n", ratio, bench::Verdict(ratio <= 1.5));
    std::printf("  CPU time to shown (median): program %.1f ms, bare window %.1f ms, ratio %.2f\n",
                bench::Median(programCpu), bench::Median(plainCpu),
                bench::Median(programCpu) / bench::Median(plainCpu));
    std::printf("  program runs:");
    for (double v : program)
        std::printf(" %.1f", v);
    std::printf("\n  bare runs:   ");
    for (double v : plain)
        std::printf(" %.1f", v);
    std::printf("\n");

    const Start after = Launch(self, {"--child", "--upload", dir + "/vorlek-meter"});
    const Start idle = Launch(bare, {});
    std::printf("resident memory: program after a whole upload VmRSS %ld KiB (VmHWM %ld), bare "
                "window VmRSS %ld KiB (VmHWM %ld)\n",
                after.rss, after.hwm, idle.rss, idle.hwm);
    const double mem = idle.rss > 0 ? double(after.rss) / double(idle.rss) : 0;
    const double peak = idle.hwm > 0 ? double(after.hwm) / double(idle.hwm) : 0;
    std::printf("  ratio VmRSS %.2f, VmHWM %.2f  target within 1.5x: %s\n", mem, peak,
                bench::Verdict(after.rss > 0 && mem <= 1.5 && peak <= 1.5));
    return 0;
}
