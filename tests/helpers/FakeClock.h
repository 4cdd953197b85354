#pragma once

#include "core/Clock.h"

#include <QDateTime>
#include <algorithm>
#include <vector>

// A clock the test advances by hand: Now() moves, and the timers that fall due fire in order.
class FakeClock : public TClock
{
public:
    explicit FakeClock(const QDateTime &start = QDateTime(QDate(2026, 12, 9), QTime(9, 0)))
        : now_(start), previous_(&Clock())
    {
        SetClock(this);
    }
    ~FakeClock() override
    {
        SetClock(previous_ == this ? nullptr : previous_);
        for (Timer *t : timers_)
            t->clock_ = nullptr;
    }

    QDateTime Now() const override { return now_; }
    std::unique_ptr<TTimer> NewTimer() override
    {
        auto t = std::make_unique<Timer>(this);
        timers_.push_back(t.get());
        return t;
    }

    // Moves time on by Ms, firing every timer that falls due on the way.
    void Advance(qint64 ms)
    {
        const qint64 end = elapsed_ + ms;
        for (;;) {
            Timer *next = nullptr;
            for (Timer *t : timers_)
                if (t->enabled_ && t->due_ <= end && (!next || t->due_ < next->due_))
                    next = t;
            if (!next)
                break;
            now_ = now_.addMSecs(next->due_ - elapsed_);
            elapsed_ = next->due_;
            if (next->single_)
                next->enabled_ = false;
            else
                next->due_ += qMax(1, next->interval_);
            if (next->OnTimer)
                next->OnTimer();
        }
        now_ = now_.addMSecs(end - elapsed_);
        elapsed_ = end;
    }

private:
    class Timer : public TTimer
    {
    public:
        explicit Timer(FakeClock *clock) : clock_(clock) {}
        ~Timer() override
        {
            if (clock_)
                clock_->timers_.erase(
                    std::remove(clock_->timers_.begin(), clock_->timers_.end(), this),
                    clock_->timers_.end());
        }
        void SetInterval(int ms) override
        {
            interval_ = ms;
            if (enabled_ && clock_)
                due_ = clock_->elapsed_ + ms; // a running timer starts again, as Qt's does
        }
        int Interval() const override { return interval_; }
        void SetEnabled(bool enabled) override
        {
            if (enabled && !enabled_ && clock_)
                due_ = clock_->elapsed_ + interval_;
            enabled_ = enabled;
        }
        bool Enabled() const override { return enabled_; }
        void SetSingleShot(bool singleShot) override { single_ = singleShot; }

        FakeClock *clock_;
        int interval_ = 0;
        bool enabled_ = false;
        bool single_ = false;
        qint64 due_ = 0;
    };

    QDateTime now_;
    qint64 elapsed_ = 0;
    TClock *previous_;
    std::vector<Timer *> timers_;
};
