// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/data/SideBySide.h"

#include <future>
#include <system_error>
#include <thread>

namespace SideBySide {

bool worthIt() {
    return std::thread::hardware_concurrency() > 1;
}

void run(const std::function<void(int part)>& work) {
    std::future<void> helper;
    try {
        helper = std::async(std::launch::async, work, 0);
    } catch (const std::system_error&) {
        work(0);
        work(1);
        return;
    }
    try {
        work(1);
    } catch (...) {
        helper.wait();
        throw;
    }
    helper.get();
}

}  // namespace SideBySide
