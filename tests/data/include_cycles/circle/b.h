#pragma once
#include "sub/c.h"
#include <vector>
