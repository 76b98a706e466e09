#include "data/presets/preset_reader.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/descriptors/document_values.h"
#include "data/presets/genre_correction.h"
#include "data/presets/preset_operator.h"
#include "tavo/enums.h"
#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

struct GenreContext {
  const DescriptorList* genres;
  const IdMapping* mapping;
};

// ---- CRIT

struct CriterionState {
  explicit CriterionState(const GenreContext& g) : genre(g) {}

  const GenreContext& genre;
  CriterionPtr criterion = std::make_shared<CriterionRecord>();
  bool have_field = false;
  bool have_operator = false;
  std::string operator_name;  // the last OP, resolved whenever a FIELD is known
};

void ResolveOperator(CriterionState& s) {
  if (s.have_field && s.have_operator) s.criterion->op = ResolvePresetOperator(s.operator_name, s.criterion->field_type);
}

void ReadGenreCorrection(const XmlNode* e, CriterionState& s) {
  const char* list = AttributeNamed(e, "FIELDLIST");
  const char* master = AttributeNamed(e, "MASTERID");
  const char* level = AttributeNamed(e, "IDSYSLEVEL");
  if (s.genre.genres == nullptr || list == nullptr || master == nullptr || level == nullptr) return;
  if (FieldCatalog_FromName(list) != txpl_crit_field_track_genrev2) return;
  CriterionRecord& c = *s.criterion;
  c.set_int_param(0, CorrectSavedGenre(*s.genre.genres, s.genre.mapping, c.int_param(0),
                                       Int32FromUnsignedText(master), Int32FromUnsignedText(level)));
}

void ReadParameter(const XmlNode* e, CriterionState& s, int position) {
  CriterionRecord& c = *s.criterion;
  const char* text = TextOrEmpty(e);
  if (position < 2) c.set_str_param(position, text);
  c.set_int_param(position, Int32FromUnsignedText(text));
}

using CriterionElement = void (*)(const XmlNode*, CriterionState&);
struct CriterionHandler {
  const char* name;
  CriterionElement read;
};

constexpr CriterionHandler kCriterionHandlers[] = {
    {"CDESC", [](const XmlNode* e, CriterionState& s) { s.criterion->description = TextOrEmpty(e); }},
    {"FIELD",
     [](const XmlNode* e, CriterionState& s) {
       s.criterion->set_field(FieldCatalog_FromName(TextOrEmpty(e)));
       const char* type = AttributeNamed(e, "TYPE");
       s.criterion->field_type = FieldType_FromName(type != nullptr ? type : "");
       s.have_field = true;
       ResolveOperator(s);
     }},
    {"OP",
     [](const XmlNode* e, CriterionState& s) {
       s.operator_name = TextOrEmpty(e);
       s.have_operator = true;
       ResolveOperator(s);
     }},
    {"WEIGHT", [](const XmlNode* e, CriterionState& s) {
       s.criterion->weight = static_cast<uint16_t>(SignedFromText(XmlNode_GetText(e)));
     }},
    {"PARAM1",
     [](const XmlNode* e, CriterionState& s) {
       if (AttributeNamed(e, "DYNAMIC") != nullptr) {
         s.criterion->selection_based = 1;
         return;
       }
       ReadParameter(e, s, 0);
       ReadGenreCorrection(e, s);
     }},
    {"PARAM2", [](const XmlNode* e, CriterionState& s) { ReadParameter(e, s, 1); }},
    {"PARAM3", [](const XmlNode* e, CriterionState& s) { ReadParameter(e, s, 2); }},
};

// A criterion read, waiting for its number.
struct ReadCriterion {
  int32_t order_attribute;
  CriterionPtr criterion;
};

ReadCriterion ReadCrit(const XmlNode* crit, const GenreContext& genre) {
  CriterionState s(genre);
  for (const XmlNode* e = XmlNode_FirstChild(crit); e != nullptr; e = XmlNode_NextSibling(e)) {
    if (XmlNode_GetText(e) == nullptr && !IsNamed(e, "PARAM1")) continue;
    for (const CriterionHandler& h : kCriterionHandlers) {
      if (IsNamed(e, h.name)) h.read(e, s);
    }
  }
  return {SignedFromText(AttributeNamed(crit, "ORDER")), std::move(s.criterion)};
}

// ---- PSET

struct GeneratorState {
  explicit GeneratorState(const GenreContext& g) : genre(g) {}

  const GenreContext& genre;
  GeneratorPtr record = std::make_shared<GeneratorRecord>();
  std::vector<ReadCriterion> criteria;   // in document order
  std::vector<FieldLimit> field_limits;  // in document order
};

void ReadLimit(const XmlNode* limit, GeneratorState& s) {
  GeneratorRecord& g = *s.record;
  for (const XmlNode* e = XmlNode_FirstChild(limit); e != nullptr; e = XmlNode_NextSibling(e)) {
    const uint32_t value = UnsignedFromText(XmlNode_GetText(e));
    if (IsNamed(e, "MAXSONGS")) {
      g.song_limit = value;
    } else if (IsNamed(e, "MAXKB")) {
      g.size_limit_kb = value;
    } else if (IsNamed(e, "MAXTIME")) {
      g.time_limit_minutes = value;
    } else if (IsNamed(e, "PERFIELD")) {
      s.field_limits.push_back({FieldCatalog_FromName(TextOrEmpty(e)), Int32FromUnsignedText(AttributeNamed(e, "LIMIT"))});
    }
  }
}

void ReadRank(const XmlNode* e, GeneratorRecord& g) {
  const int32_t field = FieldCatalog_FromName(TextOrEmpty(e));
  if (field == txpl_crit_field_last) return;
  const char* order = AttributeNamed(e, "ORDER");
  RankEntry entry;
  entry.field = field;
  entry.order = order != nullptr && NamesEqual(order, "dsc") ? txpl_rank_order_descending : txpl_rank_order_ascending;
  entry.position = static_cast<uint16_t>(SignedFromText(AttributeNamed(e, "RANKINDEX")));
  g.SetRank(entry);
}

using GeneratorElement = void (*)(const XmlNode*, GeneratorState&);
struct GeneratorHandler {
  const char* name;
  GeneratorElement read;
};

constexpr GeneratorHandler kGeneratorHandlers[] = {
    {"NAME", [](const XmlNode* e, GeneratorState& s) { s.record->name = TextOrEmpty(e); }},
    {"DESC", [](const XmlNode* e, GeneratorState& s) { s.record->description = TextOrEmpty(e); }},
    {"CRITERIA",
     [](const XmlNode* e, GeneratorState& s) {
       const char* match = AttributeNamed(e, "MATCH");
       s.record->match_mode = match == nullptr || NamesEqual(match, "any") ? txpl_matchmode_match_any
                                                                           : txpl_matchmode_match_all;
       for (const XmlNode* c = XmlNode_FirstChild(e); c != nullptr; c = XmlNode_NextSibling(c)) {
         if (IsNamed(c, "CRIT")) s.criteria.push_back(ReadCrit(c, s.genre));
       }
     }},
    {"SEED", [](const XmlNode* e, GeneratorState& s) { s.record->seed = Int32FromUnsignedText(XmlNode_GetText(e)); }},
    {"RANKFIELD", [](const XmlNode* e, GeneratorState& s) { ReadRank(e, *s.record); }},
    {"LIMIT", [](const XmlNode* e, GeneratorState& s) { ReadLimit(e, s); }},
    {"AUTOUPDATE", [](const XmlNode* e, GeneratorState& s) {
       s.record->auto_update = SignedFromText(XmlNode_GetText(e)) > 0 ? 1 : 0;
     }},
    {"SORTRESULTS", [](const XmlNode* e, GeneratorState& s) {
       s.record->sort_field = FieldCatalog_FromName(TextOrEmpty(e));
     }},
};

// Criteria join the chain in the order of their numbers, each taking the next
// number; the chain refuses a criterion only when it is full.
void NumberCriteria(GeneratorState& s) {
  std::stable_sort(s.criteria.begin(), s.criteria.end(), [](const ReadCriterion& a, const ReadCriterion& b) {
    return a.order_attribute < b.order_attribute;
  });
  for (ReadCriterion& c : s.criteria) s.record->AddCriterion(-1, std::move(c.criterion));
}

// The record puts a limit in front of those of the same field, so adding the
// limits last to first keeps a field's limits in document order, and a file
// written from the record reads back the same. Fields outside 1..52 are
// refused by the record and so dropped.
void AddFieldLimits(GeneratorState& s) {
  for (auto l = s.field_limits.rbegin(); l != s.field_limits.rend(); ++l) s.record->AddFieldLimit(*l);
}

GeneratorPtr ReadPset(const XmlNode* pset, const GenreContext& genre) {
  GeneratorState s(genre);
  for (const XmlNode* e = XmlNode_FirstChild(pset); e != nullptr; e = XmlNode_NextSibling(e)) {
    for (const GeneratorHandler& h : kGeneratorHandlers) {
      if (IsNamed(e, h.name)) h.read(e, s);
    }
  }
  NumberCriteria(s);
  AddFieldLimits(s);
  return std::move(s.record);
}

}  // namespace

void ReadPresetDocument(const XmlNode* root, const DescriptorList* genres, const IdMapping* genre_mapping,
                        GeneratorChain* chain) {
  const GenreContext genre{genres, genre_mapping};
  GeneratorChain read;
  for (const XmlNode* e = XmlNode_FirstChild(root); e != nullptr; e = XmlNode_NextSibling(e)) {
    if (!IsNamed(e, "PSET")) continue;
    if (read.Append(ReadPset(e, genre)) != kGenOk) break;  // the chain is full
  }
  *chain = std::move(read);
}

}  // namespace tavo
