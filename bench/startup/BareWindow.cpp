// bench_bare_window: a plain Qt window with the controls of the program's
// window (two buttons, the port box, a page with a tree, a progress bar, a
// label and a timer) and nothing behind them: no database, no serial port.
// Prints when it is shown and its resident memory, then quits.
#include "../common/BenchSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(505, 713);
    auto* connect = new QPushButton(QStringLiteral("Connect"), &window);
    connect->setGeometry(96, 0, 75, 33);
    auto* port = new QComboBox(&window);
    port->setEditable(true);
    port->setGeometry(0, 8, 89, 21);
    for (int i = 1; i <= 8; ++i)
        port->addItem(QStringLiteral("COM%1").arg(i));
    auto* pages = new QTabWidget(&window);
    pages->setGeometry(0, 40, 505, 673);
    auto* page = new QWidget(pages);
    pages->addTab(page, QStringLiteral("Transponder Editor"));
    auto* model = new QStandardItemModel(0, 2, &window);
    for (int s = 1; s <= 32; ++s) {
        QList<QStandardItem*> row{new QStandardItem(QString::number(s)),
                                  new QStandardItem(QStringLiteral("SAT%1").arg(s))};
        for (int t = 1; t <= 8; ++t)
            row[0]->appendRow({new QStandardItem(QString::number(t)),
                               new QStandardItem(QStringLiteral("TP%1").arg(t))});
        model->appendRow(row);
    }
    auto* tree = new QTreeView(page);
    tree->setModel(model);
    tree->setGeometry(8, 40, 481, 585);
    tree->expand(model->index(0, 0));
    auto* progress = new QProgressBar(page);
    progress->setGeometry(8, 8, 481, 21);
    progress->setRange(0, 287);
    auto* upload = new QPushButton(QStringLiteral("UPLOAD"), &window);
    upload->setGeometry(344, 0, 145, 33);
    auto* finish = new QLabel(QStringLiteral("FINISH"), &window);
    finish->setGeometry(208, 0, 107, 35);
    finish->hide();
    QTimer blink;
    blink.setInterval(300);

    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    std::printf("shown cpu %.1f\n", bench::CpuMs());
    std::fflush(stdout);
    // Settled like the program after its upload: a while in the event loop.
    QTimer::singleShot(300, &app, &QCoreApplication::quit);
    app.exec();
    std::printf("memory VmRSS %ld VmHWM %ld\n", bench::StatusKiB("VmRSS"),
                bench::StatusKiB("VmHWM"));
    return 0;
}
