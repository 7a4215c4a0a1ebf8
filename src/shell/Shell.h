// The program's start-up, window procedure, message loop and shut-down.
#pragma once

// Runs the whole program; returns the process exit code: 0 for a second
// instance or a normal end, 100 when the graphics libraries are missing,
// 3 when the drawing device cannot be made, 4 when loading fails.
int RunGame();
