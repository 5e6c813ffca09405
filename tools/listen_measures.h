// The measures of a track that velkarn_listen prints: the octave balance of a stretch, how
// the spectrum changes across a turn, and how clearly the beat speaks.
#pragma once

#include <vector>

#include "listen_onset.h"
#include "wav_file.h"

namespace listen {

// Stretches are in seconds and cut to the audio; powers are means over the channels.

// Octave powers (kOctaveCentres) in dB against the loudest band, and the share of all power
// lying below 60 Hz.
struct OctaveBalance {
    std::vector<double> relativeDb;
    double shareBelow60Hz = 0.0;
};
OctaveBalance octaveBalance(const Audio& audio, double from, double to);

// The 4 s before a turn against the 4 s after it, leaving out the quarter second either side
// of the hit: the change in dB of the whole level and of the level above 300 Hz, and over
// the octave bands 63 Hz..8 kHz the RMS of the bands' changes in dB ("distance") and the RMS
// of those changes less their mean (the shape alone, without the change of level).
struct TurnChange {
    double levelDb = 0.0;
    double upperDb = 0.0;
    double distanceDb = 0.0;
    double shapeDb = 0.0;
};
inline constexpr double kTurnGapSeconds = 0.25;
inline constexpr double kTurnSpanSeconds = 4.0;
TurnChange turnChange(const Audio& audio, double turn);

// The peak of the onset envelope's autocorrelation (see onsetEnvelope) over lags of
// fromLag..toLag seconds, for the stretch from..to of the channels' mean.
Peak beatClarity(const Audio& audio, double from, double to, double fromLag, double toLag);

// The mean square over all samples and channels.
double meanSquare(const Audio& audio);

}  // namespace listen
