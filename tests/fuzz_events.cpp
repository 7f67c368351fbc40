// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// libFuzzer over the event stream of test_fuzz: the input's bytes make every choice (which
// event, which key, which random number, which answer), and every rule is checked after each
// event. Built with -DDRENCHWICK_LIBFUZZER=ON and clang (see the README).
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "support/event_fuzz.h"

namespace {

class ByteChooser : public fuzz::Chooser {
  public:
    ByteChooser(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t below(uint32_t n) override {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = (v << 8) | (next_ < size_ ? data_[next_] : 0U);
            ++next_;
        }
        return v % n;
    }
    bool used() const { return next_ >= size_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t next_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteChooser chooser(data, size);
    fuzz::Run run(chooser);
    while (!chooser.used()) {
        const std::string broken = run.step();
        if (!broken.empty()) {
            std::fprintf(stderr, "after %llu events: %s\n",
                         static_cast<unsigned long long>(run.stats().events), broken.c_str());
            std::abort();
        }
    }
    return 0;
}
