// The sound device: SDL audio fed from the MP3 decoder, the heard position, and a silent
// clock when there is no device.
#include "program/audio.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "program/mp3_decoder.h"

namespace {

using Clock = std::chrono::steady_clock;

struct AudioState {
    std::unique_ptr<Mp3Decoder> decoder;
    SDL_AudioDeviceID device = 0;
    bool playing = false;

    // Device playback: frames handed to the device so far, the size of the last
    // buffer handed over and when; guarded by the device lock.
    std::int64_t deliveredEnd = 0;
    std::int64_t lastBufferFrames = 0;
    std::uint64_t lastCallbackCounter = 0;

    // Silent playback: the position at the last seek or start, and when that was.
    std::int64_t silentBase = 0;
    Clock::time_point silentStart{};

    std::string deviceError;  // why the sound device could not be opened
};

// The one sound output of the process (the SDL callback reads it under the device lock).
AudioState audioOutput;

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// ALSA prints its own lines on standard error when no sound card answers; the demo says
// in one line what that means. SDL loads the same shared library, so a handler set here
// covers SDL's calls too. Without ALSA there is nothing to quieten.
void quietenAlsa() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    static const bool done = [] {
        void* alsa = dlopen("libasound.so.2", RTLD_LAZY);
        if (alsa == nullptr) return false;
        auto* setHandler = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
        if (setHandler == nullptr) return false;
        setHandler(ignoreAlsaMessage);
        return true;  // the library stays loaded, with its handler
    }();
    (void)done;
}

void fillFromDecoder(void*, Uint8* stream, int length) {
    auto* samples = reinterpret_cast<std::int16_t*>(stream);
    const std::size_t count = static_cast<std::size_t>(length) / sizeof(std::int16_t);
    std::size_t frames = 0;
    if (audioOutput.decoder) frames = audioOutput.decoder->read({samples, count});
    std::fill(samples + frames * kOutputChannels, samples + count, std::int16_t{0});
    audioOutput.deliveredEnd += static_cast<std::int64_t>(frames);
    audioOutput.lastBufferFrames = static_cast<std::int64_t>(frames);
    audioOutput.lastCallbackCounter = SDL_GetPerformanceCounter();
}

std::int64_t lengthFrames() { return audioOutput.decoder ? audioOutput.decoder->lengthFrames() : 0; }

std::int64_t clampToTrack(std::int64_t frames) {
    frames = std::max<std::int64_t>(frames, 0);
    return audioOutput.decoder ? std::min(frames, lengthFrames()) : frames;
}

std::int64_t heardFramesOnDevice() {
    SDL_LockAudioDevice(audioOutput.device);
    std::int64_t heard = audioOutput.deliveredEnd - audioOutput.lastBufferFrames;
    if (audioOutput.playing && audioOutput.lastBufferFrames > 0) {
        const double seconds = static_cast<double>(SDL_GetPerformanceCounter() - audioOutput.lastCallbackCounter) /
                               static_cast<double>(SDL_GetPerformanceFrequency());
        const auto elapsed = static_cast<std::int64_t>(seconds * kOutputRate);
        heard += std::clamp<std::int64_t>(elapsed, 0, audioOutput.lastBufferFrames);
    }
    SDL_UnlockAudioDevice(audioOutput.device);
    return heard;
}

std::int64_t heardFramesSilent() {
    std::int64_t position = audioOutput.silentBase;
    if (audioOutput.playing) {
        const std::chrono::duration<double> elapsed = Clock::now() - audioOutput.silentStart;
        position += static_cast<std::int64_t>(elapsed.count() * kOutputRate);
    }
    return clampToTrack(position);
}

}  // namespace

bool audioInitDevice() {
    if (audioOutput.device != 0) return true;
    quietenAlsa();
    // SDL would otherwise catch Ctrl+C and SIGTERM (where nothing else has) and turn them
    // into a quit event that nobody reads: the demo could not be stopped.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        audioOutput.deviceError = SDL_GetError();
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kOutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kOutputChannels;
    wanted.samples = 1024;
    wanted.callback = fillFromDecoder;
    SDL_AudioSpec obtained{};
    audioOutput.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (audioOutput.device == 0) {
        audioOutput.deviceError = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    // The device thread reads the decoder: stop it before static objects go at exit.
    static const bool closeAtExit = [] { return std::atexit(audioShutdown) == 0; }();
    (void)closeAtExit;
    return true;
}

const char* audioDeviceError() { return audioOutput.deviceError.c_str(); }

bool audioOpenStream(const char* fileName) {
    auto decoder = std::make_unique<Mp3Decoder>();
    if (!decoder->open(fileName)) return false;
    if (audioOutput.device != 0) SDL_LockAudioDevice(audioOutput.device);
    audioOutput.decoder = std::move(decoder);
    audioOutput.deliveredEnd = 0;
    audioOutput.lastBufferFrames = 0;
    if (audioOutput.device != 0) SDL_UnlockAudioDevice(audioOutput.device);
    audioOutput.silentBase = 0;
    return true;
}

bool audioHasStream() { return audioOutput.decoder != nullptr; }

void audioPlay() {
    if (audioOutput.playing) return;
    audioOutput.playing = true;
    audioOutput.silentStart = Clock::now();
    if (audioOutput.device != 0) SDL_PauseAudioDevice(audioOutput.device, 0);
}

std::uint64_t audioPositionBytes() {
    // Without a track the device plays nothing: the clock is the silent one then, so
    // the demo still runs to its end.
    const bool onDevice = audioOutput.device != 0 && audioOutput.decoder != nullptr;
    const std::int64_t frames = onDevice ? heardFramesOnDevice() : heardFramesSilent();
    return static_cast<std::uint64_t>(std::max<std::int64_t>(frames, 0)) * kBytesPerFrame;
}

std::uint64_t audioLengthBytes() { return static_cast<std::uint64_t>(lengthFrames()) * kBytesPerFrame; }

double audioBytesToSeconds(std::uint64_t bytes) {
    return static_cast<double>(bytes) / (static_cast<double>(kOutputRate) * kBytesPerFrame);
}

std::uint64_t audioSecondsToBytes(double seconds) {
    if (!(seconds > 0.0)) return 0;
    return static_cast<std::uint64_t>(seconds * kOutputRate) * kBytesPerFrame;
}

void audioSetPositionBytes(std::uint64_t bytes) {
    const std::int64_t frame = clampToTrack(static_cast<std::int64_t>(bytes / kBytesPerFrame));
    if (audioOutput.device != 0) {
        SDL_LockAudioDevice(audioOutput.device);
        if (audioOutput.decoder) audioOutput.decoder->seekFrames(frame);
        audioOutput.deliveredEnd = frame;
        audioOutput.lastBufferFrames = 0;
        SDL_UnlockAudioDevice(audioOutput.device);
    } else if (audioOutput.decoder) {
        audioOutput.decoder->seekFrames(frame);
    }
    audioOutput.silentBase = frame;
    audioOutput.silentStart = Clock::now();
}

void audioShutdown() {
    if (audioOutput.device != 0) {
        SDL_CloseAudioDevice(audioOutput.device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    audioOutput = AudioState{};
}
