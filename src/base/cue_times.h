// The moments of the demo, in seconds of the music and in the order they come, each with
// what happens there. Only names: every stage keeps its own test of the time (before or
// after, strictly or not, as its rule says).
#pragma once

// The intro.
inline constexpr float kIntroBeatsEnd = 24.5f;      // the intro images stop advancing on the beat
inline constexpr float kOverlayBeatsStart = 25.0f;  // the overlay is placed anew on every beat
inline constexpr float kIntroEnd = 25.5f;           // the intro gives way to the particles; the camera turns
// The fluid and its particles.
inline constexpr float kTiltStart = 26.6f;         // the camera tilts; the line copies hide until it settles
inline constexpr float kTwistEnd = 26.7f;          // the turn after the intro ends
inline constexpr float kCameraSettled = 45.0f;     // the tilt and the respawn chance end; the drift begins
inline constexpr float kWrapStart = 45.5f;         // the particles wrap at the edges instead of respawning
inline constexpr float kWrapEnd = 58.5f;           // the wrap ends; the drift slides the picture, faster
inline constexpr float kTremorStart = 64.0f;       // a quarter second of tremor shakes the particles
inline constexpr float kLayerScrollStart = 64.1f;  // the layer image starts to scroll sideways
inline constexpr float kTremorEnd = 64.25f;        // the tremor ends
inline constexpr float kTremorFaded = 65.0f;       // the tremor's strength, fading from its start, would be none
inline constexpr float kLayerScrollEnd = 67.5f;    // the layer image's scroll ends; it stands still again
// The blob section.
inline constexpr float kBlobSceneStart = 91.05f;    // the soft bodies take the stage; the particles slow down
inline constexpr float kObstaclesFlushed = 100.0f;  // each tick clears the obstacles after the fluid steps
inline constexpr float kSlideEnd = 101.0f;          // the drift's slide ends
inline constexpr float kBlobBeatsStart = 103.0f;    // the blob scene pulses on the beat, its overlay shows
inline constexpr float kCameraShiftStart = 103.5f;  // the blob camera is shifted before its look-at
// The strings show between the bodies and to the particles.
inline constexpr float kBlobStringsStart = kBlobSceneStart + 12.5f;
inline constexpr float kBlobSnapshotsStart = 103.6f;    // the glitch redraws the scene's snapshot
inline constexpr float kSidewaysDrive = 104.05f;        // the soft bodies are driven sideways, pressed harder
inline constexpr float kCameraSecondKeyframe = 104.5f;  // the shift ends; the blob camera takes its second keyframe
inline constexpr float kCameraKeyframesEnd = 106.0f;    // the keyframes end: the camera is left where it is
// The wall, the credits and the end.
inline constexpr float kWallStart = 130.0f;      // the soft bodies leave; the particles stand as a turning wall
inline constexpr float kOverlayJump = 140.0f;    // the overlay jumps aside
inline constexpr float kSqueezeStart = 142.3f;   // the wall gives way to one squeezed copy
inline constexpr float kCreditsIn = 155.0f;      // the credits fade in; the particles stop respawning, squeeze
inline constexpr float kLineFadeStart = 165.0f;  // the line copies lose their vertices
inline constexpr float kCreditsOut = 175.0f;     // the credits fade out; the particles are pulled into the logo
inline constexpr float kObstacleGone = 183.0f;   // the pulsing square is cleared from the fluid, once
inline constexpr float kDampingStart = 190.0f;   // the particles are damped to rest on the logo
inline constexpr float kEndLogoIn = 200.0f;      // the end logo fades in
inline constexpr float kEndLogoOut = 217.0f;     // the end logo fades out
inline constexpr float kDemoEndTime = 225.0f;    // the run ends
