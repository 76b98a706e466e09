// Per-field limits: "at most `limit` tracks per value of `field`".
//
// For each (field, limit) of the generator, in field order: the candidates
// are sorted by the field (key_sort.h) and cut into runs of equal values; in
// every run with more than `limit` eligible candidates, candidates are made
// ineligible at random until `limit` remain (a negative limit counts as 0):
// a random start within the run (a draw over the run's length), then the
// first eligible candidate at or after it, wrapping to the run's start.
// The values come from each candidate's slot in the snapshot, so every
// field can be limited.
#ifndef TAVO_GENERATION_ENGINE_FIELD_LIMITS_H_
#define TAVO_GENERATION_ENGINE_FIELD_LIMITS_H_

#include <cstdint>
#include <span>
#include <vector>

#include "generation/engine/random_generator.h"
#include "generation/engine/view_snapshot.h"
#include "generation/records/generator_record.h"

namespace tavo {

// slots[i] is candidate i (in the run's canonical order); *eligible gets one
// flag per candidate. Throws std::bad_alloc.
void ApplyFieldLimits(const ViewSnapshot& view, const std::vector<FieldLimit>& limits,
                      std::span<const uint32_t> slots, RandomGenerator* random, std::vector<uint8_t>* eligible);

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_FIELD_LIMITS_H_
