#include "Waiting.h"

#include "core/FolderThread.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

bool WaitForFolderWork(const QString &text, const QString &stopText, int stopAfterMs)
{
    if (Folders().Queued() == 0)
        return true;
    QDialog box;
    box.setWindowTitle(QStringLiteral("Tarvik"));
    box.setObjectName(QStringLiteral("FolderWait"));
    auto *col = new QVBoxLayout(&box);
    auto *label = new QLabel(text, &box);
    label->setTextFormat(Qt::PlainText);
    col->addWidget(label);
    auto *bar = new QProgressBar(&box);
    bar->setRange(0, 0);
    bar->setAccessibleName(text);
    col->addWidget(bar);
    auto *stop = new QPushButton(stopText, &box);
    stop->setObjectName(QStringLiteral("StopWaiting"));
    stop->setVisible(false);
    col->addWidget(stop, 0, Qt::AlignRight);
    bool stopped = false;
    QEventLoop loop;
    QObject::connect(stop, &QPushButton::clicked, &loop, [&] {
        stopped = true;
        loop.quit();
    });
    QElapsedTimer shown;
    shown.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (Folders().Queued() == 0)
            loop.quit();
        stop->setVisible(shown.elapsed() >= stopAfterMs);
    });
    poll.start(50);
    box.show();
    loop.exec();
    return !stopped;
}
