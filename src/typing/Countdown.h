#pragma once

// The clock of a running test, minutes and seconds left, as the problem window shows it.
struct Countdown {
    int minutes = 0;
    int seconds = 0;

    // One second passes. Returns true when the time is up; the clock then reads 0:0.
    // Starting from n:0 that is the 60 × n-th tick, so the time used is the full duration.
    bool tick();
    int secondsLeft() const { return minutes * 60 + seconds; }
};
