#pragma once
// The one monotonic time source of the program; tests replace it to drive clocks by hand.
// SteadyNow may be called from any thread; SetSteadyClockSource only while no other thread runs.

#include <chrono>
#include <functional>

std::chrono::nanoseconds SteadyNow();
// Replaces the source; an empty function restores the system's steady clock.
void SetSteadyClockSource(std::function<std::chrono::nanoseconds()> source);
