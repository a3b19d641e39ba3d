// Template, control and text numbers of the main frame and its pages.
#pragma once
#include "resources/ids/frame_ids.h"
