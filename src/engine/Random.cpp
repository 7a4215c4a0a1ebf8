#include "engine/Random.h"

#include "platform/System.h"

float RandomUnit() { return static_cast<float>(plat::Rand()) / static_cast<float>(plat::RandMax); }
