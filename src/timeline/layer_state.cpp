// The state of the layers that the composition rules change from tick to tick.
#include "timeline/layer_state.h"

LayerState layers;
