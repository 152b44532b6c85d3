// SPDX-License-Identifier: MIT
#include "platform/fltk/message_box.h"

// Before FLTK's drawing header, whose X11 macros (None) clash with the program's names.
#include "platform/fltk/widgets.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <optional>
#include <vector>

namespace dorvane::fltk {

namespace {

// Sizes at 96 dpi, in pixels.
constexpr int kMargin = 12;
constexpr int kTextWidth = 420;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kGap = 6;

class MessageWindow : public Fl_Window {
  public:
    MessageWindow(int w, int h, Buttons buttons) : Fl_Window(w, h), buttons_(buttons) {}

    std::vector<Fl_Button*> keys;  // in order: OK, or Yes then No
    std::optional<Answer> answer;

    void press(std::size_t index) { answer = answer_of(index); }

    int handle(int event) override {
        if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
            int key = Fl::event_key();
            if (key == FL_Enter || key == FL_KP_Enter) {
                press(focused_index());
                return 1;
            }
            if (buttons_ == Buttons::YesNo && (key == 'y' || key == 'n')) {
                answer = key == 'y' ? Answer::Yes : Answer::No;
                return 1;
            }
            if (key == FL_Escape) {
                if (buttons_ == Buttons::Ok)
                    answer = Answer::Ok;
                return 1;  // a question needs its answer
            }
        }
        return Fl_Window::handle(event);
    }

  private:
    Answer answer_of(std::size_t index) const {
        if (buttons_ == Buttons::Ok)
            return Answer::Ok;
        return index == 0 ? Answer::Yes : Answer::No;
    }
    std::size_t focused_index() const {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (Fl::focus() == keys[i])
                return i;
        }
        return 0;
    }
    Buttons buttons_;
};

void on_button(Fl_Widget* button, void* index) {
    auto* window = static_cast<MessageWindow*>(button->window());
    window->press(reinterpret_cast<std::size_t>(index));
}

void on_close(Fl_Widget* widget, void*) {
    auto* window = static_cast<MessageWindow*>(widget);
    // Escape arrives here too and was already handled; only the frame's close control is left.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape)
        return;
    if (window->keys.size() == 1)
        window->answer = Answer::Ok;
}

}  // namespace

Answer run_message_box(const std::string& prompt, const std::string& title, Buttons buttons,
                       const Scale& scale) {
    const int margin = scale.px(kMargin * 15), gap = scale.px(kGap * 15);
    const int bw = scale.px(kButtonWidth * 15), bh = scale.px(kButtonHeight * 15);
    const int size = scale.font_px(kDefaultPoints);
    std::vector<const char*> labels = buttons == Buttons::Ok
                                          ? std::vector<const char*>{"OK"}
                                          : std::vector<const char*>{"Yes", "No"};

    fl_font(FL_HELVETICA, size);
    int tw = scale.px(kTextWidth * 15), th = 0;
    fl_measure(prompt.c_str(), tw, th, 0);
    int buttons_width =
        static_cast<int>(labels.size()) * bw + (static_cast<int>(labels.size()) - 1) * gap;
    int w = std::max(tw, buttons_width) + 2 * margin;
    int h = margin + th + 2 * gap + bh + margin;

    MessageWindow window(w, h, buttons);
    window.copy_label(title.c_str());
    auto* text = new Fl_Box(margin, margin, w - 2 * margin, th);
    text->labeltype(plain_label());
    text->labelfont(FL_HELVETICA);
    text->labelsize(size);
    text->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    text->copy_label(prompt.c_str());
    int x = (w - buttons_width) / 2;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        auto* b = new Fl_Button(x, h - margin - bh, bw, bh, labels[i]);
        b->labelsize(size);
        b->callback(on_button, reinterpret_cast<void*>(i));
        window.keys.push_back(b);
        x += bw + gap;
    }
    window.end();
    window.callback(on_close);
    window.set_modal();
    window.size_range(w, h, w, h);
    int sx, sy, sw, sh;
    Fl::screen_xywh(sx, sy, sw, sh);
    window.position(sx + (sw - w) / 2, sy + (sh - h) / 2);
    window.show();
    window.keys.front()->take_focus();
    // Bounded waits: an answer given outside an event (from a timer) must also end the loop,
    // and Fl::wait() would sleep on until the next event.
    while (!window.answer && window.shown())
        Fl::wait(0.1);
    window.hide();
    Fl::flush();
    return window.answer.value_or(buttons == Buttons::Ok ? Answer::Ok : Answer::No);
}

}  // namespace dorvane::fltk
