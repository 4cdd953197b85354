#pragma once

#include <QDateTime>
#include <functional>
#include <memory>

class QObject;

// A timer of the user-interface thread. Enabling a disabled timer starts its interval afresh;
// enabling one that runs changes nothing.
class TTimer
{
public:
    virtual ~TTimer() = default;
    virtual void SetInterval(int ms) = 0;
    virtual int Interval() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    // A one-shot timer disables itself when it fires.
    virtual void SetSingleShot(bool singleShot) = 0;
    std::function<void()> OnTimer;
};

// The one seam of time: the time of day and the timers. Tests put a clock they advance by hand.
class TClock
{
public:
    virtual ~TClock() = default;
    virtual QDateTime Now() const = 0;
    virtual std::unique_ptr<TTimer> NewTimer() = 0;
};

TClock &Clock();
// Puts a clock in place (not owned); null puts the system clock back.
void SetClock(TClock *clock);
