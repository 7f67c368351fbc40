// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Never part of the program: the browser build must refuse it. em++ finds emscripten's headers
// from any source, so the game's and the runtime's sources look first in cmake/walls/, where
// each of them stops the compile.
#include <emscripten/html5.h>

#include "game/form1.h"
