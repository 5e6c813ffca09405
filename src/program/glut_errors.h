// GLUT's fatal errors in the demo's words.
#pragma once

// GLUT's fatal errors are printed in the demo's words (with how to get an X display
// when there is none), then the run ends with status 1. Called before glutInit.
void reportGlutErrors();
