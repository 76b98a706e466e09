// The bodies of the descriptor-list and preset-file fuzz targets, shared by
// the libFuzzer programs and by the test that replays their seeds and the
// fixtures of past findings (tests/data/fuzz_fixtures_test.cc).
#ifndef TAVO_FUZZ_DATA_DATA_FUZZ_TARGETS_H_
#define TAVO_FUZZ_DATA_DATA_FUZZ_TARGETS_H_

#include <cstddef>
#include <cstdint>

namespace tavo {

// First byte: the list kind (mod 6); the rest a list document. Reads it, runs
// every walk and lookup from every item (descendants, leaves, containment,
// display ids, era choice, the child-id mapping), checks that the stored form
// gives the list back, reads the rest as a version mapping, and decodes the
// raw bytes as a stored item, header and mapping.
void FuzzDescriptorList(const uint8_t* data, size_t size);

// A preset document: read with a small genre list that has a cycle, written,
// and read and written again until the text is stable; the second and third
// texts must be equal.
void FuzzPresetDocument(const uint8_t* data, size_t size);

}  // namespace tavo

#endif  // TAVO_FUZZ_DATA_DATA_FUZZ_TARGETS_H_
