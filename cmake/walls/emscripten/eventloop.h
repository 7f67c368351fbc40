// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
#error "the game is written against the forms runtime alone: no browser header here"
