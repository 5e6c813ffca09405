#include "timeline/frame.h"

int blobActive = 0;

void updateBlobSwitch(float t) {
    if (t > 91.05f) {
        blobActive = 1;
        if (t > 130.0f) blobActive = 0;
    }
}
