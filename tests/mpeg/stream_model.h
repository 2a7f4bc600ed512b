// The plain stream model is in mpeg_fakes.h with the other helpers of the MPEG-2 tests.
#pragma once

#include "mpeg/mpeg_fakes.h"
