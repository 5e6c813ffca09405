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
};

AudioState state;
std::string deviceError;

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
    if (state.decoder) frames = state.decoder->read({samples, count});
    std::fill(samples + frames * kOutputChannels, samples + count, std::int16_t{0});
    state.deliveredEnd += static_cast<std::int64_t>(frames);
    state.lastBufferFrames = static_cast<std::int64_t>(frames);
    state.lastCallbackCounter = SDL_GetPerformanceCounter();
}

std::int64_t lengthFrames() { return state.decoder ? state.decoder->lengthFrames() : 0; }

std::int64_t clampToTrack(std::int64_t frames) {
    frames = std::max<std::int64_t>(frames, 0);
    return state.decoder ? std::min(frames, lengthFrames()) : frames;
}

std::int64_t heardFramesOnDevice() {
    SDL_LockAudioDevice(state.device);
    std::int64_t heard = state.deliveredEnd - state.lastBufferFrames;
    if (state.playing && state.lastBufferFrames > 0) {
        const double seconds = static_cast<double>(SDL_GetPerformanceCounter() - state.lastCallbackCounter) /
                               static_cast<double>(SDL_GetPerformanceFrequency());
        const auto elapsed = static_cast<std::int64_t>(seconds * kOutputRate);
        heard += std::clamp<std::int64_t>(elapsed, 0, state.lastBufferFrames);
    }
    SDL_UnlockAudioDevice(state.device);
    return heard;
}

std::int64_t heardFramesSilent() {
    std::int64_t position = state.silentBase;
    if (state.playing) {
        const std::chrono::duration<double> elapsed = Clock::now() - state.silentStart;
        position += static_cast<std::int64_t>(elapsed.count() * kOutputRate);
    }
    return clampToTrack(position);
}

}  // namespace

bool audioInitDevice() {
    if (state.device != 0) return true;
    quietenAlsa();
    // SDL would otherwise catch Ctrl+C and SIGTERM (where nothing else has) and turn them
    // into a quit event that nobody reads: the demo could not be stopped.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        deviceError = SDL_GetError();
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kOutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kOutputChannels;
    wanted.samples = 1024;
    wanted.callback = fillFromDecoder;
    SDL_AudioSpec obtained{};
    state.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (state.device == 0) {
        deviceError = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    // The device thread reads the decoder: stop it before static objects go at exit.
    static const bool closeAtExit = [] { return std::atexit(audioShutdown) == 0; }();
    (void)closeAtExit;
    return true;
}

const char* audioDeviceError() { return deviceError.c_str(); }

bool audioOpenStream(const char* fileName) {
    auto decoder = std::make_unique<Mp3Decoder>();
    if (!decoder->open(fileName)) return false;
    if (state.device != 0) SDL_LockAudioDevice(state.device);
    state.decoder = std::move(decoder);
    state.deliveredEnd = 0;
    state.lastBufferFrames = 0;
    if (state.device != 0) SDL_UnlockAudioDevice(state.device);
    state.silentBase = 0;
    return true;
}

bool audioHasStream() { return state.decoder != nullptr; }

void audioPlay() {
    if (state.playing) return;
    state.playing = true;
    state.silentStart = Clock::now();
    if (state.device != 0) SDL_PauseAudioDevice(state.device, 0);
}

std::uint64_t audioPositionBytes() {
    // Without a track the device plays nothing: the clock is the silent one then, so
    // the demo still runs to its end.
    const bool onDevice = state.device != 0 && state.decoder != nullptr;
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
    if (state.device != 0) {
        SDL_LockAudioDevice(state.device);
        if (state.decoder) state.decoder->seekFrames(frame);
        state.deliveredEnd = frame;
        state.lastBufferFrames = 0;
        SDL_UnlockAudioDevice(state.device);
    } else if (state.decoder) {
        state.decoder->seekFrames(frame);
    }
    state.silentBase = frame;
    state.silentStart = Clock::now();
}

void audioShutdown() {
    if (state.device != 0) {
        SDL_CloseAudioDevice(state.device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    state = AudioState{};
}
