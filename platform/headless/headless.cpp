#include "platform/headless/headless.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace dorvane {

HeadlessServices::HeadlessServices(std::string folder) : files_(std::move(folder)) {}

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
    Answer answer = buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    return answer;
}

FileRead HeadlessServices::read_file(const std::string& name, std::size_t limit) {
    return files_.read_file(name, limit);
}

FileWrite HeadlessServices::replace_file(const std::string& name, std::string_view bytes) {
    if (fail_writes)
        return {false, *fail_writes};
    FileWrite result = files_.replace_file(name, bytes);
    if (result.ok)
        ++writes;
    return result;
}

FileWrite HeadlessServices::keep_copy(const std::string& name, const std::string& copy_name) {
    return files_.keep_copy(name, copy_name);
}

std::vector<std::string> HeadlessServices::list_files(const std::string& pattern, Hidden hidden) {
    if (file_list)
        return *file_list;
    return files_.list_files(pattern, hidden);
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
    return next_task_++;
}

bool HeadlessServices::activate(TaskId task) {
    log.push_back((fail_activate ? "activate-failed " : "activate ") + std::to_string(task) +
                  stamp(clock));
    return !fail_activate;
}

bool HeadlessServices::send_keys(const std::string& keys) {
    log.push_back((fail_keys ? "keys-failed " : "keys ") + keys + stamp(clock));
    return !fail_keys;
}

float HeadlessServices::seconds_since_midnight() {
    return static_cast<float>(std::fmod(clock, 86400.0));
}

void HeadlessServices::sleep(double seconds) {
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
    forms.push_back(&form);
}

void HeadlessServices::form_destroyed(Form& form) {
    forms.erase(std::remove(forms.begin(), forms.end(), &form), forms.end());
}

void HeadlessServices::end_program() {
    ++ended;
}

}  // namespace dorvane
