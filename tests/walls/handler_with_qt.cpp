// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Never part of the program: the build must refuse it. The handlers are written against the
// forms runtime alone, and the game's library links no Qt target, so a Qt header cannot be
// found from a handler.
#include <QString>

#include "game/form1.h"
