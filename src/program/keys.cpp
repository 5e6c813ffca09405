// The developer keys: quit, pause, seek, reset, camera moves and the camera dump.
#include "program/keys.h"

#include <fstream>
#include <iostream>

#include "base/demo_clock.h"
#include "program/music.h"
#include "render/camera.h"
#include "sim/particles.h"
#include "timeline/reset.h"
#include "timeline/tuning.h"

namespace {

// Changed and printed only by '+' and '-'; nothing else reads it. The keys have always
// printed it, so it stays, a counter a developer can watch.
int NUMPARMICRO = 10000;

constexpr float kCameraStep = 0.025f;

// The camera field a key moves, and in which direction; nullptr for other keys.
float* cameraFieldFor(unsigned char key, float& sign) {
    struct Binding {
        unsigned char up, down;
        float Camera::*field;
    };
    static constexpr Binding bindings[] = {
        {'a', 's', &Camera::eyex},    {'d', 'f', &Camera::eyey},     {'g', 'h', &Camera::eyez},
        {'j', 'l', &Camera::centerX}, {';', '\'', &Camera::centerY}, {'z', 'x', &Camera::centerZ},
        {'c', 'v', &Camera::upx},     {'b', 'n', &Camera::upy},      {'m', ',', &Camera::upz},
    };
    for (const Binding& b : bindings) {
        if (key == b.up || key == b.down) {
            sign = key == b.up ? 1.0f : -1.0f;
            return &(camera.*b.field);
        }
    }
    return nullptr;
}

}  // namespace

KeyResult handleKey(unsigned char key) {
    if (key == 27 || key == 'q') return KeyResult::Quit;
    if (key >= '0' && key <= '9') {
        const int digit = key - '0';
        std::cout << digit << std::flush;
        resetSimulation();
        seekMusic(static_cast<float>(digit));
        demoClock.time = musicTime();
        demoClock.delta = 0.0f;
        restartTicksAt(demoClock, demoClock.time);
        return KeyResult::Redisplay;
    }
    switch (key) {
        case 'p': demoClock.paused = demoClock.paused != 0 ? 0 : 1; break;
        case 'e':
            particles.MIN_PAR += 1.0f;
            std::cout << "MIN_PAR: " << particles.MIN_PAR << std::endl;
            break;
        case 'r':
            particles.MIN_PAR -= 1.0f;
            std::cout << "MIN_PAR: " << particles.MIN_PAR << std::endl;
            break;
        case 'y':
            particles.MAX_PAR += 1.0f;
            std::cout << "MAX_PAR: " << particles.MAX_PAR << std::endl;
            break;
        case 't':
            particles.MAX_PAR -= 1.0f;
            std::cout << "MAX_PAR: " << particles.MAX_PAR << std::endl;
            break;
        case '+':
            NUMPARMICRO += 1140;
            std::cout << "NUMPARMICRO: " << NUMPARMICRO << std::endl;
            break;
        case '-':
            NUMPARMICRO -= 1410;
            std::cout << "NUMPARMICRO: " << NUMPARMICRO << std::endl;
            break;
        default: {
            float sign = 0.0f;
            if (float* field = cameraFieldFor(key, sign)) {
                *field += sign * kCameraStep;
                writeCameraDump();
            }
        }
    }
    return KeyResult::Redisplay;
}

bool handleSpecialKey(int key) {
    // GLUT's code of F1.
    if (key != 1) return false;
    reloadTuningFiles();
    return true;
}

void writeCameraDump(std::ostream& out) {
    out << "--------------\n"
        << "eyex=" << camera.eyex << ";\n"
        << "eyey=" << camera.eyey << ";\n"
        << "eyez=" << camera.eyez << ";\n"
        << "centerX=" << camera.centerX << ";\n"
        << "centerY=" << camera.centerY << ";\n"
        << "centerZ=" << camera.centerZ << ";\n"
        << "upx=" << camera.upx << ";\n"
        << "upy=" << camera.upy << ";\n"
        << "upz=" << camera.upz << ";\n";
}

void writeCameraDump() {
    std::ofstream out("glulookat.dat", std::ios::trunc);
    if (out) writeCameraDump(out);
}
