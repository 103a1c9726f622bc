#pragma once

#include "platform/foundation/Value.h"

#include <string>

namespace velmora {

// A held job's options as the panel starts from them, and the panel's settings as what is
// written back to the job. Options are in the form velmora print submits them (PPD choices by
// the PPD's keywords, the panel's entries under their long keys, "copies", "sides"), read
// against the queue's PPD (a file; without one, as they are).
class HeldJobSettings {
public:
    // What the job will be printed with, as the scheduler and the press's filter read its
    // attributes: every PPD option at the job's choice (by the PPD's name or the press's), where
    // the job names none the choice libcups's marking makes of its plain IPP attributes
    // (finishings, which the scheduler applies after the job's own options, media and media-col,
    // output-bin, print-color-mode), else the PPD's default; the panel's entries in either form;
    // copies and collate as the job has them, and sides from the PPD's Duplex.
    static Dictionary optionsOfJob(const Dictionary& jobOptions, const std::string& ppdPath);
    // The options of a job that a person set: what differs from the PPD's defaults, the panel's
    // entries, copies and sides.
    static Dictionary chosenOptions(const Dictionary& jobOptions, const std::string& ppdPath);
    // What to write to the job so that it prints with wanted (print settings as job options,
    // which name only the PPD choices that differ from the defaults): each option whose value
    // differs from what the job held (current: optionsOfJob of the job as the panel opened on
    // it; an empty field the job does not carry is no change), and nothing else, so that what
    // the job carries besides is kept. When the job (its attributes now, jobOptions) carries IPP
    // finishings, which the scheduler would apply over the written choices,
    // they are written again as the finishings the new choices amount to ("3", none, when they
    // amount to none).
    static Dictionary changes(const Dictionary& current, const Dictionary& wanted,
                              const Dictionary& jobOptions, const std::string& ppdPath);
};

} // namespace velmora
