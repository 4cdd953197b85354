#include "FolderThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <cstdio>
#include <cstdlib>

FolderThread &FolderThread::Instance()
{
    static FolderThread thread;
    return thread;
}

FolderThread::~FolderThread()
{
    Stop();
}

bool FolderThread::IsCurrent() const
{
    return thread_ && QThread::currentThread() == thread_;
}

void FolderThread::Start()
{
    if (thread_)
        return;
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("folders"));
    runner_ = new QObject;
    runner_->moveToThread(thread_);
    QObject::connect(thread_, &QThread::finished, runner_, &QObject::deleteLater);
    thread_->start();
}

void FolderThread::Post(std::function<void()> work)
{
    Start();
    ++queued_;
    QMetaObject::invokeMethod(
        runner_,
        [this, work = std::move(work)] {
            try {
                work();
            } catch (...) {
                // Work handed over without a result has no one to tell: what it could not do
                // stays undone (a kept result stays kept).
            }
            --queued_;
        },
        Qt::QueuedConnection);
}

void FolderThread::Deliver(const QPointer<QObject> &context, std::function<void()> done)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(
        app,
        [context, done = std::move(done)] {
            if (context)
                done();
        },
        Qt::QueuedConnection);
}

void FolderThread::AwaitVoid(const std::function<void()> &work)
{
    if (IsCurrent()) {
        work();
        return;
    }
    // Finished is set on this thread, by a call the folder thread hands to it when the work is
    // done, so the loop is never left while the work still runs.
    struct State
    {
        QPointer<QEventLoop> Loop;
        bool Finished = false;
        std::exception_ptr Error;
    };
    auto state = std::make_shared<State>();
    QEventLoop loop;
    state->Loop = &loop;
    const bool onMain = QCoreApplication::instance() &&
                        QThread::currentThread() == QCoreApplication::instance()->thread();
    QObject *home = onMain ? static_cast<QObject *>(QCoreApplication::instance()) : &loop;
    Post([&work, state, home] {
        try {
            work();
        } catch (...) {
            state->Error = std::current_exception();
        }
        QMetaObject::invokeMethod(
            home,
            [state] {
                state->Finished = true;
                if (state->Loop)
                    state->Loop->quit();
            },
            Qt::QueuedConnection);
    });
    loop.exec();
    // A quit of the whole program ends every loop at once, and loop.exec() returns at once from
    // then on: the work is waited for all the same, asleep, taking only the folder thread's
    // answers (no spinning at a full core).
    while (!state->Finished) {
        QThread::msleep(5);
        QCoreApplication::sendPostedEvents(home, QEvent::MetaCall);
    }
    if (state->Error)
        std::rethrow_exception(state->Error);
}

bool FolderThread::WaitIdle(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (queued_.load() > 0) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

void FolderThread::Stop()
{
    if (!thread_)
        return;
    thread_->quit();
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    runner_ = nullptr;
}

int FolderThread::EndProgram(int rc, int ms)
{
    if (WaitIdle(ms)) {
        Stop();
        return rc;
    }
    // A thread blocked in the network cannot be stopped; nothing it holds is half-written
    // (files are replaced whole or appended to with their place noted first).
    std::fflush(nullptr);
    std::_Exit(rc);
}
