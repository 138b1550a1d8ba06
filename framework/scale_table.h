// Builds a needle's NonlinearityEntry table from a list of
// SCALE_POINT(x, y, value) lines, the form the painter reads as well.
#pragma once

#include "gauge_records.h"

#define SCALE_POINT(px, py, v) {.x = (px), .y = (py), .value = (v)},
