#include <string>

#include "assets.h"
#include "canvas.h"
#include "image_intro.h"
#include "image_pictures.h"

void generateImages(const std::filesystem::path& runDir) {
    const std::filesystem::path dat = runDir / "dat";
    constexpr int kWidth = 1920;
    constexpr int kHeight = 1080;
    saveJpeg(makeOverlayTexture(1024), dat / "azor03.jpg");
    saveJpeg(makeParticleSprite(64), dat / "partikl1.jpg");
    saveJpeg(makeDarkBackground(kWidth, kHeight), dat / "black.jpg");
    saveJpeg(makeGradient(kWidth, kHeight), dat / "gradient2.jpg");
    saveJpeg(makeBlobBackground(kWidth, kHeight), dat / "background1.jpg");
    saveJpeg(makeCreditsPicture(kWidth, kHeight), dat / "background1_1920credits.jpg");
    saveJpeg(makeEndLogoPicture(kWidth, kHeight), dat / "logoend.jpg");
    saveJpeg(makeGreetingsPicture(kWidth, kHeight), dat / "greetz-itself.jpg");
    for (int i = 1; i <= kIntroFrameCount; ++i) {
        savePng(makeIntroFrame(i, kWidth, kHeight), dat / ("intro_oneeyewhore_" + std::to_string(i) + ".png"));
    }
}
