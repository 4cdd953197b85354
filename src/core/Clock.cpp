#include "Clock.h"

#include <QTimer>

namespace {

class QtTimer : public TTimer
{
public:
    QtTimer()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            if (OnTimer)
                OnTimer();
        });
    }
    void SetInterval(int ms) override { timer_.setInterval(ms); }
    int Interval() const override { return timer_.interval(); }
    void SetEnabled(bool enabled) override
    {
        if (enabled && !timer_.isActive())
            timer_.start();
        else if (!enabled)
            timer_.stop();
    }
    bool Enabled() const override { return timer_.isActive(); }
    void SetSingleShot(bool singleShot) override { timer_.setSingleShot(singleShot); }

private:
    QTimer timer_;
};

class SystemClock : public TClock
{
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
    std::unique_ptr<TTimer> NewTimer() override { return std::make_unique<QtTimer>(); }
};

SystemClock g_system;
TClock *g_clock = &g_system;

} // namespace

TClock &Clock()
{
    return *g_clock;
}
void SetClock(TClock *clock)
{
    g_clock = clock ? clock : &g_system;
}
