// GL headers in the order they need: GLEW before any other GL header.
#pragma once

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glu.h>
