// Parse and serialize of a typical track property set (about 20 keys, ~700
// bytes) and of a 200-generator preset document, with tinyxml2 and libxml2
// parsing and writing the same bytes, all in one run.
//
// The figure that matters: BM_TrackSet_Parse_Tavo against
// BM_Parse_TinyXml2/TrackSet (the ratio is printed at the end of the run).
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <tinyxml2.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "data/xml/xml.h"
#include "vocabulary/property_set.h"

namespace tavo {
namespace {

// A track as ingestion stores it.
std::string MakeTrackSet() {
  PropertySet* set = nullptr;
  PropertySet_Create(&set, kPropertySetRec);
  const struct {
    uint32_t key;
    int instance;
    const char* value;
  } values[] = {
      {kKeyTit, 0, "Sweet Child O' Mine (Live at the Ritz, New York 1988)"},
      {kKeyArt, 0, "Guns N' Roses"},
      {kKeyAlb, 0, "Live Era '87-'93 & Rarities (Remastered Deluxe Edition)"},
      {kKeyYear, 0, "1999"},
      {kKeyOYear, 0, "1988"},
      {kKeyLabel, 0, "Geffen Records / Universal Music Group"},
      {kKeyTitSort, 0, "Sweet Child O' Mine (Live at the Ritz)"},
      {kKeyArtSort, 0, "Guns N' Roses"},
      {kKeyAlbSort, 0, "Live Era 87-93 & Rarities"},
      {kKeyGenDesc, 0, "Hard Rock"},
      {kKeyNum, 0, "7"},
      {kKeyTot, 0, "22"},
      {kKeyTLen, 0, "356000"},
      {kKeyBitR, 0, "320"},
      {kKeySize, 0, "14241280"},
      {kKeyType, 0, "1003"},
      {kKeyOrigin, 0, "2105"},
      {kKeyEra, 0, "3004"},
      {kKeyGenV2, 0, "31472"},
      {kKeyMood, 0, "42911"},
      {kKeyTempo, 0, "21"},
      {kKeyBpm, 0, "126"},
      {kKeyRhythm, 0, "17"},
      {kKeyVocals, 0, "4"},
  };
  for (const auto& v : values) PropertySet_SetValue(set, v.key, v.instance, v.value);
  char* text = nullptr;
  size_t n = 0;
  PropertySet_Serialize(set, &text, &n);
  std::string s(text, n);
  PropertySet_FreeText(text);
  PropertySet_Free(set);
  return s;
}

// A preset file with 200 generators, in the layout the preset writer uses.
std::string MakePresetDocument() {
  XmlNode* list = XmlNode_NewElement("LIST", nullptr);
  XmlNode_SetAttribute(list, "NAME", "PRESETS");
  for (int g = 0; g < 200; ++g) {
    XmlNode* pset = XmlNode_NewElement("PSET", nullptr);
    XmlNode* criteria = XmlNode_NewElement("CRITERIA", nullptr);
    XmlNode_SetAttribute(criteria, "MATCH", g % 2 ? "any" : "all");
    for (int c = 0; c < 3; ++c) {
      XmlNode* crit = XmlNode_NewElement("CRIT", nullptr);
      XmlNode_SetAttribute(crit, "ORDER", std::to_string(c).c_str());
      XmlNode* field = XmlNode_NewElement("FIELD", c == 0 ? "track_genrev2" : "track_rating");
      XmlNode_SetAttribute(field, "TYPE", c == 0 ? "ENUM" : "NUM");
      XmlNode_AppendChild(crit, field);
      XmlNode_AppendChild(crit, XmlNode_NewElement("OP", c == 0 ? "is" : "is_greater_than"));
      XmlNode* p1 = XmlNode_NewElement("PARAM1", std::to_string(1000 + g * 3 + c).c_str());
      if (c == 0) {
        XmlNode_SetAttribute(p1, "FIELDLIST", "track_genrev2");
        XmlNode_SetAttribute(p1, "MASTERID", "31472");
        XmlNode_SetAttribute(p1, "IDSYSLEVEL", "2");
      }
      XmlNode_AppendChild(crit, p1);
      XmlNode_AppendChild(criteria, crit);
    }
    XmlNode_AppendChild(pset, criteria);
    XmlNode* limit = XmlNode_NewElement("LIMIT", nullptr);
    XmlNode* perfield = XmlNode_NewElement("PERFIELD", "track_artist_name");
    XmlNode_SetAttribute(perfield, "LIMIT", "2");
    XmlNode_AppendChild(limit, perfield);
    XmlNode_AppendChild(limit, XmlNode_NewElement("MAXSONGS", "50"));
    XmlNode_AppendChild(pset, limit);
    XmlNode* rank = XmlNode_NewElement("RANKFIELD", "track_rating");
    XmlNode_SetAttribute(rank, "ORDER", "dsc");
    XmlNode_SetAttribute(rank, "RANKINDEX", "0");
    XmlNode_AppendChild(pset, rank);
    XmlNode_AppendChild(pset, XmlNode_NewElement("NAME", ("Rock & Roll mix " + std::to_string(g)).c_str()));
    XmlNode_AppendChild(pset, XmlNode_NewElement("DESC", "Upbeat rock from the '80s"));
    XmlNode_AppendChild(list, pset);
  }
  char* text = XmlDocument_SerializePretty(list, false);
  std::string s(text);
  XmlText_Free(text);
  XmlNode_Free(list);
  return s;
}

const std::string& TrackSet() {
  static const std::string s = MakeTrackSet();
  return s;
}
const std::string& PresetDocument() {
  static const std::string s = MakePresetDocument();
  return s;
}

void Label(benchmark::State& state, const std::string& doc) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(doc.size()));
  state.SetLabel(std::to_string(doc.size()) + " bytes");
}

using Document = const std::string& (*)();

// --- Parsing, the same way for every document ----------------------------------

void BM_Parse_TavoXmlDocument(benchmark::State& state, Document document) {
  const std::string& doc = document();
  for (auto _ : state) {
    XmlNode* root = nullptr;
    if (XmlDocument_Parse(doc.data(), doc.size(), &root) != 0) state.SkipWithError("parse");
    benchmark::DoNotOptimize(root);
    XmlNode_Free(root);
  }
  Label(state, doc);
}
BENCHMARK_CAPTURE(BM_Parse_TavoXmlDocument, TrackSet, &TrackSet);
BENCHMARK_CAPTURE(BM_Parse_TavoXmlDocument, Presets, &PresetDocument);

void BM_Parse_TinyXml2(benchmark::State& state, Document document) {
  const std::string& doc = document();
  tinyxml2::XMLDocument xml;  // reused: tinyxml2's best case
  for (auto _ : state) {
    if (xml.Parse(doc.data(), doc.size()) != tinyxml2::XML_SUCCESS) state.SkipWithError("parse");
    benchmark::DoNotOptimize(xml.RootElement());
  }
  Label(state, doc);
}
BENCHMARK_CAPTURE(BM_Parse_TinyXml2, TrackSet, &TrackSet);
BENCHMARK_CAPTURE(BM_Parse_TinyXml2, Presets, &PresetDocument);

void BM_Parse_LibXml2(benchmark::State& state, Document document) {
  const std::string& doc = document();
  for (auto _ : state) {
    xmlDocPtr xml = xmlReadMemory(doc.data(), static_cast<int>(doc.size()), nullptr, nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOBLANKS);
    if (xml == nullptr) state.SkipWithError("parse");
    benchmark::DoNotOptimize(xml);
    xmlFreeDoc(xml);
  }
  Label(state, doc);
}
BENCHMARK_CAPTURE(BM_Parse_LibXml2, TrackSet, &TrackSet);
BENCHMARK_CAPTURE(BM_Parse_LibXml2, Presets, &PresetDocument);

// --- Track property set: parse ----------------------------------------------

void BM_TrackSet_Parse_Tavo(benchmark::State& state) {
  const std::string& doc = TrackSet();
  for (auto _ : state) {
    PropertySet* set = nullptr;
    if (PropertySet_Parse(&set, kPropertySetRec, doc.data(), doc.size()) != 0) state.SkipWithError("parse");
    benchmark::DoNotOptimize(set);
    PropertySet_Free(set);
  }
  Label(state, doc);
}
BENCHMARK(BM_TrackSet_Parse_Tavo);

void BM_TrackSet_Parse_TinyXml2FreshDocument(benchmark::State& state) {
  const std::string& doc = TrackSet();
  for (auto _ : state) {
    tinyxml2::XMLDocument xml;
    if (xml.Parse(doc.data(), doc.size()) != tinyxml2::XML_SUCCESS) state.SkipWithError("parse");
    benchmark::DoNotOptimize(xml.RootElement());
  }
  Label(state, doc);
}
BENCHMARK(BM_TrackSet_Parse_TinyXml2FreshDocument);

// Parse, then read the values a playlist criterion would look at. tinyxml2
// decodes entities only when a text is read, so this is the like-for-like
// comparison of parsing plus use.
constexpr uint32_t kReadKeys[] = {kKeyTit, kKeyArt, kKeyAlb, kKeyGenDesc, kKeyGenV2,
                                  kKeyEra,  kKeyMood, kKeyTempo, kKeyOYear, kKeyBitR};
constexpr const char* kReadPaths[] = {"TIT", "ART", "ALB", "GEN/DESC", "GEN_V2",
                                      "ERA", "MOOD", "TEMPO", "OYEAR", "BITR"};

void BM_TrackSet_ParseAndRead10_Tavo(benchmark::State& state) {
  const std::string& doc = TrackSet();
  for (auto _ : state) {
    PropertySet* set = nullptr;
    PropertySet_Parse(&set, kPropertySetRec, doc.data(), doc.size());
    size_t total = 0;
    for (uint32_t key : kReadKeys) {
      char buffer[1024];
      if (PropertySet_GetValue(set, key, 0, buffer, sizeof(buffer)) == 0) total += buffer[0];
    }
    benchmark::DoNotOptimize(total);
    PropertySet_Free(set);
  }
  Label(state, doc);
}
BENCHMARK(BM_TrackSet_ParseAndRead10_Tavo);

void BM_TrackSet_ParseAndRead10_TinyXml2(benchmark::State& state) {
  const std::string& doc = TrackSet();
  tinyxml2::XMLDocument xml;
  for (auto _ : state) {
    xml.Parse(doc.data(), doc.size());
    size_t total = 0;
    for (const char* path : kReadPaths) {
      const tinyxml2::XMLElement* e = xml.RootElement();
      const char* p = path;
      while (e != nullptr && *p != '\0') {
        const char* slash = std::strchr(p, '/');
        std::string step = slash != nullptr ? std::string(p, slash) : std::string(p);
        e = e->FirstChildElement(step.c_str());
        p = slash != nullptr ? slash + 1 : p + std::strlen(p);
      }
      if (e != nullptr && e->GetText() != nullptr) {
        char buffer[1024];
        std::strncpy(buffer, e->GetText(), sizeof(buffer) - 1);
        buffer[sizeof(buffer) - 1] = '\0';
        total += buffer[0];
      }
    }
    benchmark::DoNotOptimize(total);
  }
  Label(state, doc);
}
BENCHMARK(BM_TrackSet_ParseAndRead10_TinyXml2);

// --- Serializing ---------------------------------------------------------------

void BM_TrackSet_Serialize_Tavo(benchmark::State& state) {
  const std::string& doc = TrackSet();
  PropertySet* set = nullptr;
  PropertySet_Parse(&set, kPropertySetRec, doc.data(), doc.size());
  for (auto _ : state) {
    char* text = nullptr;
    size_t n = 0;
    PropertySet_Serialize(set, &text, &n);
    benchmark::DoNotOptimize(text);
    PropertySet_FreeText(text);
  }
  PropertySet_Free(set);
  Label(state, doc);
}
BENCHMARK(BM_TrackSet_Serialize_Tavo);

void BM_Presets_Serialize_Tavo(benchmark::State& state) {
  const std::string& doc = PresetDocument();
  XmlNode* root = nullptr;
  XmlDocument_Parse(doc.data(), doc.size(), &root);
  for (auto _ : state) {
    char* text = XmlDocument_SerializePretty(root, false);
    benchmark::DoNotOptimize(text);
    XmlText_Free(text);
  }
  XmlNode_Free(root);
  Label(state, doc);
}
BENCHMARK(BM_Presets_Serialize_Tavo);

// Track sets are written compact, preset documents indented.
void BM_Serialize_TinyXml2(benchmark::State& state, Document document, bool compact) {
  const std::string& doc = document();
  tinyxml2::XMLDocument xml;
  xml.Parse(doc.data(), doc.size());
  for (auto _ : state) {
    tinyxml2::XMLPrinter printer(nullptr, compact);
    xml.Print(&printer);
    benchmark::DoNotOptimize(printer.CStr());
  }
  Label(state, doc);
}
BENCHMARK_CAPTURE(BM_Serialize_TinyXml2, TrackSet, &TrackSet, true);
BENCHMARK_CAPTURE(BM_Serialize_TinyXml2, Presets, &PresetDocument, false);

void BM_Serialize_LibXml2(benchmark::State& state, Document document, bool compact) {
  const std::string& doc = document();
  xmlDocPtr xml = xmlReadMemory(doc.data(), static_cast<int>(doc.size()), nullptr, nullptr,
                                XML_PARSE_NONET);
  for (auto _ : state) {
    xmlChar* out = nullptr;
    int n = 0;
    xmlDocDumpFormatMemory(xml, &out, &n, compact ? 0 : 1);
    benchmark::DoNotOptimize(out);
    xmlFree(out);
  }
  xmlFreeDoc(xml);
  Label(state, doc);
}
BENCHMARK_CAPTURE(BM_Serialize_LibXml2, TrackSet, &TrackSet, true);
BENCHMARK_CAPTURE(BM_Serialize_LibXml2, Presets, &PresetDocument, false);

// Collects the CPU time per iteration of every run (steadier than wall time
// on a loaded machine), to print our speed against the other libraries'
// after the usual report.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        if (medians_.count(run.run_name.str()) == 0) ns_[run.run_name.str()] = run.GetAdjustedCPUTime();
      } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        // With --benchmark_repetitions the median of the repetitions counts.
        medians_.insert(run.run_name.str());
        ns_[run.run_name.str()] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatio(const char* ours, const char* theirs) const {
    auto a = ns_.find(ours);
    auto b = ns_.find(theirs);
    if (a == ns_.end() || b == ns_.end() || a->second <= 0) return;
    std::printf("ratio (CPU time) %s / %s = %.2f: %s is %.2fx as fast\n", theirs, ours,
                b->second / a->second, ours, b->second / a->second);
  }

 private:
  std::map<std::string, double> ns_;
  std::set<std::string> medians_;
};

}  // namespace
}  // namespace tavo

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  xmlInitParser();
  std::printf("track property set: %zu bytes; preset document: %zu bytes\n",
              tavo::TrackSet().size(), tavo::PresetDocument().size());
  tavo::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("BM_TrackSet_Parse_Tavo", "BM_Parse_TinyXml2/TrackSet");
  reporter.PrintRatio("BM_Parse_TavoXmlDocument/TrackSet", "BM_Parse_TinyXml2/TrackSet");
  reporter.PrintRatio("BM_TrackSet_ParseAndRead10_Tavo", "BM_TrackSet_ParseAndRead10_TinyXml2");
  reporter.PrintRatio("BM_TrackSet_Serialize_Tavo", "BM_Serialize_TinyXml2/TrackSet");
  reporter.PrintRatio("BM_Parse_TavoXmlDocument/Presets", "BM_Parse_TinyXml2/Presets");
  reporter.PrintRatio("BM_Presets_Serialize_Tavo", "BM_Serialize_TinyXml2/Presets");
  xmlCleanupParser();
  benchmark::Shutdown();
  return 0;
}
