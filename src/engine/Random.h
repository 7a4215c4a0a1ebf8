#pragma once

// A random float from 0 to 1, both ends included.
float RandomUnit();
