// The cue table in words, for --cues and for the checks that the README and the data files
// follow it.
#include "base/cue_times.h"

#include "base/beat_grid.h"

std::string hundredthsText(std::int32_t hundredths) {
    const bool negative = hundredths < 0;
    const std::int64_t whole = negative ? -std::int64_t{hundredths} : hundredths;
    std::string text = (negative ? "-" : "") + std::to_string(whole / 100);
    const auto part = static_cast<int>(whole % 100);
    if (part != 0) {
        text += '.';
        text += static_cast<char>('0' + part / 10);
        if (part % 10 != 0) text += static_cast<char>('0' + part % 10);
    }
    return text;
}

std::string cueTableText() {
    std::string text = "# seconds name turn|- what (turn: the music changes section)\n";
    for (const Cue& cue : kCues) {
        text += hundredthsText(cue.hundredths) + ' ' + cue.name + ' ' + (cue.musicTurn ? "turn" : "-") + ' ' +
                cue.what + '\n';
    }
    text += "# beat " + hundredthsText(kBeatHundredths) + " s, " + std::to_string(kBeatsPerBar) + " beats to the bar\n";
    return text;
}
