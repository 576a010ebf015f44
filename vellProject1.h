// The program: creates the keyboard window, then the device window, and runs
// the message loop on the given backend until the keyboard window closes.
#pragma once

#include "platform/Application.h"

int RunVellora(platform::Backend &backend);
