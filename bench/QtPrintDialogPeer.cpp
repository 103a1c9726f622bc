// The floor of the print dialog's start-up: Qt's own print dialog on the same CUPS queue, shown
// and painted once, then gone. velmora's dialog is started and measured the same way.
//   velmora_bench_qt_print_dialog QUEUE

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: velmora_bench_qt_print_dialog QUEUE\n", stderr);
        return 2;
    }
    QPrinterInfo queue = QPrinterInfo::printerInfo(QString::fromLocal8Bit(argv[1]));
    if (queue.isNull()) {
        std::fprintf(stderr, "velmora_bench_qt_print_dialog: no queue %s\n", argv[1]);
        return 1;
    }
    QPrinter printer(queue);
    QPrintDialog dialog(&printer);
    dialog.show();
    QApplication::processEvents();
    dialog.repaint();
    return 0;
}
