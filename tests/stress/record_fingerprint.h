// Every field of a gauge's records that the module fills, gathered into
// one list of words, so that a test can tell whether the module wrote
// anything it must not: the only things a gauge may change at run time are
// its text buffers and the ImageHidden bit of a few of the radio's elements.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "panel_host.h"

struct Fingerprint {
    std::vector<uint64_t> words;
    std::vector<std::string> labels;  // what each word is, when asked for
};

// ImageHidden is left out for the elements named here (by drawing order).
// Labels cost time; a check takes them only to describe a difference.
Fingerprint TakeFingerprint(panel::Gauge& gauge, const std::vector<size_t>& may_hide, bool with_labels = true);
// The first difference, or "" when there is none (after needs no labels).
std::string FirstDifference(const Fingerprint& before, const Fingerprint& after);
