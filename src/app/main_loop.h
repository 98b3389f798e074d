// The program: start-up, the main loop and one frame.
#pragma once

// The entry routine of the game; returns 0 in every case.
int BrindomaMain();

// One frame: timer, drag, cursor, signals, click, world, drawing.
void DrawFrame(int enabled);
// Drains the message queue and runs frames until isDone.
void RunMainLoop();

// Start-up steps, in the order BrindomaMain runs them.
void ChooseWindowSize();       // "konfig.txt"; may ask and change winWidth, winHeight
void PinStartDirectory();
void StartGame();

// The message feed's per-frame draw (inside the overlay, colour white).
void DrawMsgFeed();

// First-frame flag and drag state back to start (tests).
void MainLoopReset();
