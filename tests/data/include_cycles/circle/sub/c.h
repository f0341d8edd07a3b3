#pragma once
// found from the root, not beside this file
#include "a.h"
