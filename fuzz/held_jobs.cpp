#include "platform/printing/HeldJobSettings.h"
#include "platform/printing/HeldJobs.h"

#include <cups/ipp.h>

#include <cstring>

// A scheduler's answer about jobs, as the bytes of an IPP message: the jobs read from it, and
// their options read against the press's queue PPD as the panel starts from them.
namespace {

struct Input {
    const unsigned char* data;
    std::size_t size, offset = 0;
};

ssize_t readFromInput(void* context, ipp_uchar_t* buffer, std::size_t bytes) {
    auto* input = static_cast<Input*>(context);
    std::size_t left = input->size - input->offset;
    std::size_t count = bytes < left ? bytes : left;
    std::memcpy(buffer, input->data + input->offset, count);
    input->offset += count;
    return static_cast<ssize_t>(count);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    Input input{data, size};
    ipp_t* response = ippNew();
    if (ippReadIO(&input, readFromInput, 1, nullptr, response) == IPP_STATE_DATA)
        for (const auto& job : velmora::HeldJobs::jobsOf(response)) {
            (void)velmora::HeldJobs::whyNotHeld(job);
            auto current = velmora::HeldJobSettings::optionsOfJob(job.options, VELMORA_QUEUE_PPD);
            (void)velmora::HeldJobSettings::chosenOptions(job.options, VELMORA_QUEUE_PPD);
            (void)velmora::HeldJobSettings::changes(current, job.options, job.options,
                                                    VELMORA_QUEUE_PPD);
        }
    ippDelete(response);
    return 0;
}
