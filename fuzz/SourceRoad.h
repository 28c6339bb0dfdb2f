#pragma once
// The road a user's CTG file takes, driven from its bytes: described by
// `luctool info` (text and JSON); chosen with Browse in the main window
// (open, header, plan, the Original File texts, the record browser on its
// first cell); and, when its conversion stays small, converted by an
// AutoConvert run into a scratch folder. The fuzzer walks it for every input,
// and a test replays the seeds and every crasher kept in fuzz/ through it.

#include <string_view>

namespace tilbo::fuzz {

// Walks the whole road once. Aborts when a step breaks a promise: an exit
// status that is not documented, an AutoConvert log that does not end with
// the run's closing blank line, a temporary tile left behind, or a window
// state that a failed read changed. A crash or undefined behaviour on the
// way is the sanitizers' to report.
void WalkSourceRoad(std::string_view bytes);

}  // namespace tilbo::fuzz
