// The examiner's monitoring server: stations report their examinees as they go; a live table,
// its export to CSV, and a journal of every message received.
//   tarvik-monitor [--port N] [--address A] [--log FILE] [--headless]
#include "records/widgets/Monitor.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCommandLineParser>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QWidget>

#include <cstdio>

int main(int argc, char **argv)
{
    // Without a window nothing needs a display.
    bool headless = false;
    for (int i = 1; i < argc; ++i)
        headless = headless || qstrcmp(argv[i], "--headless") == 0;
    if (headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvik-monitor"));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Наблюдение за экзаменом: сервер станций"));
    options.addHelpOption();
    options.addOption({QStringLiteral("port"), QStringLiteral("Port to listen on (2578)."),
                       QStringLiteral("N"), QStringLiteral("2578")});
    options.addOption({QStringLiteral("address"), QStringLiteral("Address to listen on (all)."),
                       QStringLiteral("A")});
    options.addOption({QStringLiteral("log"),
                       QStringLiteral("Append every message received to FILE."),
                       QStringLiteral("FILE")});
    options.addOption({QStringLiteral("headless"), QStringLiteral("No window.")});
    options.process(app);

    bool ok = false;
    const int port = options.value(QStringLiteral("port")).toInt(&ok);
    if (!ok || port <= 0 || port > 65535) {
        std::fprintf(stderr, "tarvik-monitor: bad port\n");
        return 2;
    }
    const QHostAddress address = options.isSet(QStringLiteral("address"))
                                     ? QHostAddress(options.value(QStringLiteral("address")))
                                     : QHostAddress(QHostAddress::Any);
    MonitorModel model;
    MonitorServer server;
    model.Follow(server);
    if (options.isSet(QStringLiteral("log")) &&
        !server.SetLog(options.value(QStringLiteral("log")))) {
        std::fprintf(stderr, "tarvik-monitor: cannot write the log\n");
        return 1;
    }
    if (!server.Listen(address, quint16(port))) {
        std::fprintf(stderr, "tarvik-monitor: cannot listen on port %d\n", port);
        return 1;
    }
    if (headless) {
        std::printf("listening on %d\n", int(server.Port()));
        std::fflush(stdout);
        return app.exec();
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("Наблюдение за экзаменом"));
    auto *col = new QVBoxLayout(&window);
    auto *status = new QLabel(
        QStringLiteral("Порт %1: станции подключаются сами").arg(server.Port()), &window);
    status->setTextFormat(Qt::PlainText);
    col->addWidget(status);
    auto *sorted = new QSortFilterProxyModel(&window);
    sorted->setSourceModel(&model);
    sorted->setSortRole(Qt::UserRole);
    auto *table = new QTableView(&window);
    table->setObjectName(QStringLiteral("Table"));
    table->setAccessibleName(QStringLiteral("Экзаменуемые"));
    table->setModel(sorted);
    table->setSortingEnabled(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    col->addWidget(table, 1);
    auto *buttons = new QHBoxLayout;
    auto *clear = new QPushButton(QStringLiteral("Убрать строку"), &window);
    auto *save = new QPushButton(QStringLiteral("Сохранить в CSV..."), &window);
    buttons->addWidget(clear);
    buttons->addStretch(1);
    buttons->addWidget(save);
    col->addLayout(buttons);
    QObject::connect(clear, &QPushButton::clicked, &window, [&] {
        const QModelIndex current = table->currentIndex();
        if (current.isValid())
            model.RemoveRow(sorted->mapToSource(current).row());
    });
    QObject::connect(save, &QPushButton::clicked, &window, [&] {
        const QString file = QFileDialog::getSaveFileName(
            &window, QString(), QStringLiteral("results.csv"), QStringLiteral("CSV (*.csv)"));
        if (file.isEmpty())
            return;
        QSaveFile out(file);
        const QByteArray csv = model.Csv();
        if (!out.open(QIODevice::WriteOnly) || out.write(csv) != csv.size() || !out.commit())
            QMessageBox::critical(&window, QStringLiteral("Ошибка"),
                                  QStringLiteral("Файл не записан."));
    });
    window.resize(1000, 500);
    window.show();
    return app.exec();
}
