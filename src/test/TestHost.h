#pragma once

// What the input window asks of the test window around it: the countdown and the menus.
class TestHost
{
public:
    virtual ~TestHost() = default;

    virtual void startCountdown() = 0;             // timLastTime on
    virtual void stopCountdown() = 0;              // timLastTime off
    virtual void setTimeMenuEnabled(bool on) = 0;  // mnuTime
    virtual void showNextProblemMenu() = 0;        // mnuNext visible
    virtual void enablePrintMenus() = 0;           // mnuPrint and mnuPrinter_select
};
