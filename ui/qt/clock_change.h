#pragma once

class Form1;

// Checks at once when the wall clock is set, by hand or stepped by time
// synchronisation: the ticks, measured from the clock as it read before, would
// otherwise wait up to 20 s off their marks. Where the system cannot tell, the
// ticks alone check.
void checkWhenClockSet(Form1& window);
