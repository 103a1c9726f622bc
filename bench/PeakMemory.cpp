#include "PeakMemory.h"

#include <fstream>
#include <string>

namespace {

// A field of /proc/self/status in MiB ("VmRSS", "VmHWM"); 0 where the system has none.
double statusMiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(field + ":"))
            return std::stod(line.substr(field.size() + 1)) / 1024.0; // in kB
    return 0;
}

} // namespace

PeakMemory::PeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5"; // resets VmHWM to the resident size
    _residentAtStart = statusMiB("VmRSS");
}

void PeakMemory::report(benchmark::State& state) const {
    double peak = statusMiB("VmHWM");
    state.counters["peak_MiB"] = peak;
    state.counters["work_peak_MiB"] = peak - _residentAtStart;
}
