// Developer controls: quit, seek, pause, point sizes, camera moves, tuning reload.
#pragma once

void keyboard(unsigned char key, int x, int y);
void specialKey(int key, int x, int y);
