// Parse time of one element with many attributes, distinct or each set
// twice: the parse must stay near linear in their number (duplicates are
// found by sorting, not by walking the list for every attribute).
#include <benchmark/benchmark.h>

#include <string>

#include "data/xml/xml.h"

namespace tavo {
namespace {

// <E a0="v" a1="v" ...> with `count` attributes; with `repeat`, the names run
// through count / 2 twice, so the second half overrides the first.
std::string ManyAttributes(size_t count, bool repeat) {
  std::string doc = "<E";
  const size_t names = repeat ? count / 2 : count;
  for (size_t i = 0; i < count; ++i) doc += " a" + std::to_string(i % names) + "=\"v\"";
  return doc + "/>";
}

void BM_ParseManyAttributes(benchmark::State& state, bool repeat) {
  const std::string doc = ManyAttributes(static_cast<size_t>(state.range(0)), repeat);
  for (auto _ : state) {
    XmlNode* root = nullptr;
    if (XmlDocument_Parse(doc.data(), doc.size(), &root) != kXmlOk) state.SkipWithError("parse failed");
    XmlNode_Free(root);
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}
BENCHMARK_CAPTURE(BM_ParseManyAttributes, Distinct, false)->RangeMultiplier(10)->Range(100, 100000)->Complexity();
BENCHMARK_CAPTURE(BM_ParseManyAttributes, EachTwice, true)->RangeMultiplier(10)->Range(100, 100000)->Complexity();

}  // namespace
}  // namespace tavo

BENCHMARK_MAIN();
