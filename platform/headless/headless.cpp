// SPDX-License-Identifier: MIT
#include "platform/headless/headless.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace dorvane {

HeadlessServices::HeadlessServices(std::string folder)
    : files_(std::move(folder)), events_([this](Form& form) { form_destroyed(form); }, nullptr) {}

void HeadlessServices::route(const std::function<void()>& handler) {
    events_.route(handler);
}

void HeadlessServices::close_frame(Form& form) {
    route([&form] { form.frame_closed(); });
}

Form* HeadlessServices::find_form(const std::string& name) const {
    for (Form* form : forms) {
        if (form->name == name)
            return form;
    }
    return nullptr;
}

Answer HeadlessServices::message_box(const std::string& prompt, const std::string& title,
                                     Buttons buttons) {
    messages.push_back({prompt, title, buttons});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    // A question nobody scripted must not be answered for the test: a default Yes would let a
    // test that forgot "Clear Database" erase the catalogue and still pass.
    if (answers.empty())
        throw UnscriptedQuestion("unscripted question \"" + prompt + "\" (" + title + ")");
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

FileRead HeadlessServices::read_file(const std::string& name, std::size_t limit) {
    return files_.read_file(name, limit);
}

FileWrite HeadlessServices::replace_file(const std::string& name, std::string_view bytes,
                                         std::optional<std::string_view> expected) {
    if (fail_writes)
        return {false, *fail_writes};
    FileWrite result = files_.replace_file(name, bytes, expected);
    if (result.ok)
        ++writes;
    return result;
}

FileWrite HeadlessServices::keep_copy(const std::string& name, const std::string& copy_name) {
    return files_.keep_copy(name, copy_name);
}

FileListing HeadlessServices::list_files(const std::string& pattern, Hidden hidden) {
    if (fail_lists)
        return {false, {}, *fail_lists};
    if (file_list)
        return {true, *file_list, {}};
    return files_.list_files(pattern, hidden);
}

NameOnDisk HeadlessServices::real_name(const std::string& name) {
    if (fail_lists)
        return {NameOnDisk::Status::Failed, {}, *fail_lists};
    if (!file_list)
        return files_.real_name(name);
    CaseBlindMatch match(name);
    for (const std::string& file : *file_list)
        match.offer(file);
    std::optional<std::string> best = match.best();
    if (!best)
        return {NameOnDisk::Status::None, {}, {}};
    return {NameOnDisk::Status::Found, *best, {}};
}

namespace {

std::string stamp(double clock) {
    std::ostringstream out;
    out << " @" << clock;
    return out.str();
}

}  // namespace

std::optional<TaskId> HeadlessServices::start_program(const std::string& command_line) {
    std::string program = command_line.substr(0, command_line.find(' '));
    if (missing_programs.count(program)) {
        log.push_back("start-failed " + command_line + stamp(clock));
        return std::nullopt;
    }
    started.push_back(command_line);
    log.push_back("start " + command_line + stamp(clock));
    auto behaviour = programs.find(program);
    tasks_[next_task_] = behaviour == programs.end() ? Program::Window : behaviour->second;
    return next_task_++;
}

bool HeadlessServices::activate(TaskId task) {
    log.push_back((fail_activate ? "activate-failed " : "activate ") + std::to_string(task) +
                  stamp(clock));
    in_front.reset();
    pending_.reset();
    auto found = tasks_.find(task);
    if (fail_activate || found == tasks_.end())
        return false;
    switch (found->second) {
        case Program::Window:
            in_front = task;
            return true;
        case Program::SlowWindow:
        case Program::NoWindow:
        case Program::FailsLater:
            pending_ = task;
            return true;
        case Program::FailsAtOnce:
            return false;
        case Program::EndsWithoutWindow:
            return true;
    }
    return false;
}

void HeadlessServices::run_events() {
    if (!pending_)
        return;
    Program program = tasks_[*pending_];
    if (program == Program::SlowWindow)
        in_front = pending_;
    if (program == Program::FailsLater && late_failure_) {
        ++late_reports;
        late_failure_();
    }
    if (program != Program::NoWindow)
        pending_.reset();
}

bool HeadlessServices::send_keys(const std::string& keys) {
    log.push_back((fail_keys ? "keys-failed " : "keys ") + keys + stamp(clock));
    if (fail_keys)
        return false;
    // A window that shows while the keys wait for it takes them.
    if (pending_ && tasks_[*pending_] == Program::SlowWindow) {
        in_front = pending_;
        pending_.reset();
    }
    if (!in_front)
        return false;
    keys_received[*in_front] += keys;
    return true;
}

void HeadlessServices::on_late_failure(std::function<void()> report) {
    late_failure_ = std::move(report);
}

float HeadlessServices::seconds_since_midnight() {
    return static_cast<float>(std::fmod(clock, 86400.0));
}

void HeadlessServices::sleep(double seconds) {
    seconds = wait_bound(seconds);
    clock += seconds;
    slept += seconds;
}

float HeadlessServices::random() {
    if (random_values.empty())
        return random_.next();
    float value = random_values.front();
    random_values.pop_front();
    return value;
}

void HeadlessServices::form_created(Form& form) {
    if (std::find(forms.begin(), forms.end(), &form) == forms.end())
        forms.push_back(&form);
    events_.created(form);
}

void HeadlessServices::form_destroyed(Form& form) {
    forms.erase(std::remove(forms.begin(), forms.end(), &form), forms.end());
    events_.destroyed(form);
}

void HeadlessServices::end_program() {
    ++ended;
}

}  // namespace dorvane
