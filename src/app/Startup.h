#pragma once

// The program's start: shared values, splash with the settings, folder checks, main menu.
void startProgram();
