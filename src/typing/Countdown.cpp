#include "Countdown.h"

bool Countdown::tick()
{
    --seconds;
    // A clock started at 0:0 ends too, rather than counting into negative minutes.
    if (minutes <= 0 && seconds <= 0) {
        seconds = 0;
        return true;
    }
    // Borrow only below zero: borrowing at zero would skip n:0 and lose a second a minute.
    if (seconds < 0) {
        --minutes;
        seconds = 59;
    }
    return false;
}
