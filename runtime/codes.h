// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The numbers that the runtime and the programs written against it share. A handler writes
// them as the plain numbers its rules give; the runtime names them where it acts on them.
#pragma once

namespace rt {

// MsgBox: the button set asked for.
enum MsgBoxButtons : int {
    kButtonsOk = 0,
    kButtonsYesNo = 4,
};
// Only these bits choose the buttons; the rest of the code would pick icons and defaults.
constexpr int kButtonSetMask = 7;

// MsgBox: the button the user chose.
enum MsgBoxAnswer : int {
    kAnswerNone = 0,
    kAnswerOk = 1,
    kAnswerYes = 6,
    kAnswerNo = 7,
};

// KeyUp: the key codes the runtime produces by name.
enum KeyCodes : int {
    kKeySpace = 32,
};

// The numbers of the runtime errors, as the error report gives them.
enum ErrorNumber : int {
    kErrBadArgument = 5,
    kErrOverflow = 6,
    kErrInternal = 51,
    kErrNoSuchResource = 326,
    kErrBadIndex = 340,
    kErrAlreadyLoaded = 360,
    kErrNotLoaded = 364,
    kErrNoSuchEvent = 459,
};

}  // namespace rt
