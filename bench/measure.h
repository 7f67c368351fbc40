// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// One measurement in this process, chosen by argv[2] (argv[1] is --measure).
#pragma once

namespace bench {

int measure(int argc, char** argv);

}  // namespace bench
