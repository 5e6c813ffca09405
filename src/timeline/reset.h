// Putting the fluid, the particles, the tuning schedules and the beat memories back to
// their start state: once at start-up and on every seek.
#pragma once

void resetSimulation();
