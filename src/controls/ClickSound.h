#pragma once

// The click that accompanies almost every click in the program: "clck.wav" beside the program.
void PlayClickSound();
