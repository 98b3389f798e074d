// The program: start-up, the main loop and one frame.
#pragma once

// The entry routine of the game; returns 0 in every case.
int BrindomaMain();
