// SPDX-License-Identifier: Apache-2.0
#include "cli/jobs_option.h"

#include <algorithm>
#include <charconv>
#include <thread>

namespace quorvane::cli {

int defaultJobs()
{
    return std::clamp(2 * int(std::thread::hardware_concurrency()), 1, kMaxJobs);
}

JobsOption readJobsOption(const std::vector<std::string>& arguments, std::size_t& index, int& jobs, std::string& problem)
{
    const std::string& argument = arguments[index];
    std::string text;
    if (argument == "-j" || argument == "--jobs") {
        if (index + 1 == arguments.size()) {
            problem = argument + " needs a number of files to work on at a time";
            return JobsOption::Invalid;
        }
        text = arguments[++index];
    } else if (argument.starts_with("--jobs=")) {
        text = argument.substr(7);
    } else if (argument.starts_with("-j") && !argument.starts_with("--")) {
        text = argument.substr(2);
    } else {
        return JobsOption::NotThis;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 1 || value > kMaxJobs) {
        problem = "--jobs takes a whole number from 1 to " + std::to_string(kMaxJobs) + ", not '" + text + "'";
        return JobsOption::Invalid;
    }
    jobs = value;
    return JobsOption::Taken;
}

}  // namespace quorvane::cli
