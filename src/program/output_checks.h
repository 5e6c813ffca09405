// Checks of the files a run will write, made before the run: an output that cannot be
// written is reported at once, not after minutes of rendering.
#pragma once

#include <string>

// Empty when a file can be written at path; otherwise what stands in the way.
std::string fileWriteProblem(const std::string& path);

// Makes the capture folder when it is missing. Empty when it takes new frames; otherwise
// what stands in the way (it cannot be made or written, or it holds the frame-*.png files
// of an earlier capture, which the new frames would mix with).
std::string captureFolderProblem(const std::string& folder);

// Empty for a video file name ending in ".mp4" (the container the encoder writes).
std::string videoNameProblem(const std::string& file);
