// The still pictures of dat/, each made from nothing but seeded noise and strokes.
// Sizes are parameters so tests can make small ones; the demo uses the sizes noted.
#pragma once

#include "canvas.h"

// "azor03.jpg", 1024 square: light stained paper with scratches, veins and technical
// marks; it multiplies the picture, so it is mostly 0.7..1.0.
Canvas makeOverlayTexture(int size);
// "partikl1.jpg", 64 square: white centre fading to a black rim.
Canvas makeParticleSprite(int size);
// "black.jpg": the dark background of the layer composition, below 20 of 255.
Canvas makeDarkBackground(int width, int height);
// "gradient2.jpg": night blue at the top to amber at the bottom.
Canvas makeGradient(int width, int height);
// "dusk.jpg": a light lilac-to-amber tint that the picture is multiplied by (0.5..1.0).
Canvas makeDuskTint(int width, int height);
// "band.jpg": a bright horizontal band across the middle fading to near black above and
// below; multiplied over the picture it leaves a band of light.
Canvas makeBandMask(int width, int height);
// "background1.jpg": a light floor under a pale horizon with soft round shapes.
Canvas makeBlobBackground(int width, int height);
// The room the soft bodies fall into, a multiply layer until the beat shows the
// background from 103 s: its horizon and floor lines, lit where the bodies land.
Canvas makeBlobRoom(int width, int height);
// "background1_1920credits.jpg": title and credits in the lower 60% on dark.
Canvas makeCreditsPicture(int width, int height);
// "greetz-itself.jpg": greetings to invented groups.
Canvas makeGreetingsPicture(int width, int height);
// "logoend.jpg": the logo, light on dark, laid out as the PPM logo.
Canvas makeEndLogoPicture(int width, int height);
