// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/web/captions.h"

#include <algorithm>

#include "runtime/form.h"
#include "runtime/web/page.h"

namespace rt {

void Captions::loaded(const Form& form) {
    labels_.clear();
    for (const Visual* v : form.stacking()) {
        if (v->kind() == ControlKind::Label) {
            labels_.push_back(static_cast<const Label*>(v));
        }
    }
    std::stable_sort(labels_.begin(), labels_.end(), [](const Label* a, const Label* b) {
        const PixelRect ra = a->pixelRect();
        const PixelRect rb = b->pixelRect();
        return ra.y != rb.y ? ra.y < rb.y : ra.x < rb.x;
    });
}

void Captions::update() {
    shown_.resize(labels_.size());
    for (size_t i = 0; i < labels_.size(); ++i) {
        // Called on every change of the scene: a caption is sent only when it is new.
        if (labels_[i]->Caption() != shown_[i]) {
            shown_[i] = labels_[i]->Caption();
            dw_caption(static_cast<int>(i), shown_[i].c_str());
        }
    }
}

}  // namespace rt
