// The per-frame driver.
#pragma once

// 1 while the blob section replaces the layer composition.
extern int blobActive;

// The blob switch: raised above 91.05 s, lowered above 130 s, unchanged at or below 91.05 s.
void updateBlobSwitch(float t);

// The GLUT display callback: one whole frame for demoClock.time.
void displayFrame();
