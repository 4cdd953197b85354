#pragma once

#include <QObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

// The one thread on which every access of the journal folder and of the shares runs: journals,
// the subject lookup, report files, the password list, the roster, the kept results, exam and
// manager files on a share. The SMB client is used from this thread only. Work runs there in the
// order it was handed over, one piece at a time; the window never waits on a file or on the
// network, it waits on this thread in its own event loop (it keeps drawing, its clock keeps
// time).
class FolderThread
{
public:
    static FolderThread &Instance();
    ~FolderThread();

    // True on the folder thread itself.
    bool IsCurrent() const;
    // Runs Work on the folder thread, later.
    void Post(std::function<void()> work);
    // Runs Work on the folder thread, then Done on the program's main thread, unless Context is
    // gone by then.
    template <typename R>
    void Post(std::function<R()> work, QObject *context, std::function<void(R)> done)
    {
        Post([work = std::move(work), ctx = QPointer<QObject>(context),
              done = std::move(done)]() mutable {
            auto result = std::make_shared<R>(work());
            Deliver(ctx, [done = std::move(done), result] { done(std::move(*result)); });
        });
    }
    // Runs Work on the folder thread and gives its result (or raises what it raised); the
    // calling thread processes its events meanwhile. On the folder thread, Work runs at once.
    template <typename R> R Await(const std::function<R()> &work)
    {
        if (IsCurrent())
            return work();
        std::optional<R> result;
        AwaitVoid([&] { result.emplace(work()); });
        return std::move(*result);
    }
    void AwaitVoid(const std::function<void()> &work);

    // Pieces of work handed over and not finished yet.
    int Queued() const { return queued_.load(); }
    // Blocks (no events) until nothing is queued, at most Ms milliseconds; true when idle.
    bool WaitIdle(int ms);
    // Ends the thread after the work queued so far; the next Post starts it again.
    void Stop();
    // The end of a program whose folder work only reads or is kept elsewhere: work still under
    // way after Ms milliseconds (a share that stalls) is let go with the process, not waited
    // for. Returns Rc when the thread ended in time; else the process ends here with Rc.
    int EndProgram(int rc, int ms = 1000);

private:
    FolderThread() = default;
    static void Deliver(const QPointer<QObject> &context, std::function<void()> done);
    void Start();

    QThread *thread_ = nullptr;
    QObject *runner_ = nullptr;
    std::atomic<int> queued_{0};
};

// The folder thread.
inline FolderThread &Folders()
{
    return FolderThread::Instance();
}
