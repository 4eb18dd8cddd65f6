#pragma once

// What the input window asks of the test window around it: the countdown and the menus.
class TestHost
{
public:
    virtual ~TestHost() = default;

    virtual void startCountdown() = 0;            // m_countdownTimer on
    virtual void stopCountdown() = 0;             // m_countdownTimer off
    virtual void setDurationMenuEnabled(bool on) = 0; // m_durationMenuAction
    virtual void showNextProblemMenu() = 0;       // m_nextProblemAction visible
    virtual void enablePrintMenus() = 0;          // m_printAction and m_choosePrinterAction
};
