#pragma once

// What the input window asks of the test window around it: the countdown and the menus.
class TestHost
{
public:
    virtual ~TestHost() = default;

    virtual void startCountdown() = 0;
    virtual void stopCountdown() = 0;
    // What the countdown still holds.
    virtual int secondsLeft() const = 0;
    // The duration is fixed once a run has started.
    virtual void setDurationMenuEnabled(bool on) = 0;
    // After a passed run in ordered practice.
    virtual void showNextProblemMenu() = 0;
    // After a passed certification run: printing the certificate and choosing the printer.
    virtual void enablePrintMenus() = 0;
};
