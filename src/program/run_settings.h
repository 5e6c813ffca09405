// What the command line settled for this run. main builds it once from the options, after
// checking them, before anything starts; every part of the program reads it here and
// nothing changes it afterwards.
#pragma once

#include <optional>
#include <string>

#include "program/video.h"

struct RunSettings {
    bool offline = false;              // --capture or --video: nothing shown live, no sound
    bool silent = false;               // no sound device: the silent output plays the track
    double startSeconds = 0.0;         // the music is sought here before the first frame
    std::optional<double> endSeconds;  // the run ends after its last frame at or before this
    std::string captureDirectory;      // empty: no frames saved
    VideoSettings video;               // file empty: no video
    bool vsync = true;                 // ask the display to wait for its refresh
    bool watch = false;                // reload the data files when they change
};

const RunSettings& runSettings();
// Replaces the run's settings: main, once, before the run; a test, for the run it makes.
void settleRunSettings(RunSettings settings);
