// The asset generator: every generated file of the run directory, made the same way on
// every run (no clocks, no unseeded randomness).
#pragma once

#include <filesystem>

// runDir/Orvalin-Velkarn.mp3
void generateMusic(const std::filesystem::path& runDir);
// runDir/voices/NAME.wav: each voice of the track alone, through the master path (WAV, for
// measuring; not part of the run directory's assets)
void generateVoices(const std::filesystem::path& runDir);
// The images of runDir/dat: pictures, sprite, overlay, intro frames, end logo (JPEG/PNG)
void generateImages(const std::filesystem::path& runDir);
// runDir/dat/logoend.ppm, the plain-text logo the particles form at the end; a particle-map
// cache beside it goes when the logo changes
void generateLogo(const std::filesystem::path& runDir);
// runDir/dat/Objekt3.asc, the closed soft-body mesh
void generateMesh(const std::filesystem::path& runDir);
// folder/velkarn.png, the 256 by 256 menu icon made from the logo (not part of the run directory)
void generateIcon(const std::filesystem::path& folder);
