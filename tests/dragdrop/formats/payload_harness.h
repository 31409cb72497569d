// Feeds one hostile payload to the parsers of a family, directly and through a fetch from
// the test data object on a medium the payload's first byte chooses. Shared by the fuzz
// target and the replay of the inputs it found.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace foliotally::dragdrop {

enum class PayloadFamily { kNameLists, kIdLists, kFeedbackValues };

// Runs every reader of `family` over `input`; returns normally unless a reader breaks an
// invariant (then it aborts) or raises anything but the range error a lying stream earns.
void ExercisePayload(PayloadFamily family, std::span<const uint8_t> input);

// The family a replay folder is named for.
bool PayloadFamilyNamed(std::string_view name, PayloadFamily& family);

}  // namespace foliotally::dragdrop
