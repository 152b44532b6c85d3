// SPDX-License-Identifier: MIT
// The random pick and the mascot: a filled slot whose map differs from the previous pick's,
// chosen as a click would choose it, and a mascot frame that differs from the previous one.
#include <algorithm>
#include <cmath>

#include "launcher/launcher.h"

namespace dorvane {

namespace {

constexpr int kAttempts = 500;
constexpr int kFrames = 4;
// A sound source repeats a frame four draws in a row rarely; one that never stops repeating
// must not hold the window for ever.
constexpr int kFrameDraws = 1000;

int draw_below(ClockService& chance, int n) {
    int x = static_cast<int>(std::floor(static_cast<double>(chance.random()) * n));
    return std::clamp(x, 0, n - 1);
}

int draw_frame(ClockService& chance, const std::optional<int>& last_pic) {
    for (int draw = 0; draw < kFrameDraws; ++draw) {
        int y = draw_below(chance, kFrames) + 1;
        if (y != last_pic)
            return y;
    }
    return *last_pic % kFrames + 1;
}

Picture frame_picture(int frame) {
    constexpr Picture kPictures[kFrames] = {Picture::Frame1, Picture::Frame2, Picture::Frame3,
                                            Picture::Frame4};
    return kPictures[frame - 1];
}

}  // namespace

std::optional<Picture> random_pick(State& state, const SlotButtons& slots, ClockService& chance,
                                   MessageBoxService& boxes,
                                   const std::function<void(int)>& choose_slot) {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        int x = draw_below(chance, kSlots);
        const std::string& name = slots[x].caption;
        if (name.empty() || name == state.last_map)
            continue;
        choose_slot(x);
        state.last_map = slots[x].caption;
        int y = draw_frame(chance, state.last_pic);
        state.last_pic = y;
        return frame_picture(y);
    }
    bool any_map = std::any_of(slots.begin(), slots.end(),
                               [](const Control& slot) { return !slot.caption.empty(); });
    if (!any_map)
        boxes.message_box("Put some maps in the stupid thing!!!", "*SHEESH!*", Buttons::Ok);
    return std::nullopt;
}

void introduce_mascot(MessageBoxService& boxes) {
    boxes.message_box(
        "This is Wobbin!  Click Random to make him dance his arse off!  Find "
        "some subliminal messages already, ok??",
        "This is synonymous with cheeze", Buttons::Ok);
}

}  // namespace dorvane
