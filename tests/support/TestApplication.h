#pragma once

#include "toolkit/Application.h"

// The test program's one toolkit instance, for tests of what the program does from start-up.
forms::Application& testApplication();
