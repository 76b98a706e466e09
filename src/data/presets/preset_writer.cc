#include "data/presets/preset_writer.h"

#include <new>
#include <string>
#include <string_view>

#include "tavo/enums.h"
#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

bool IsNamedField(int32_t field) { return field >= kFirstLimitField && field <= kLastLimitField; }

std::string Number(uint32_t value) { return std::to_string(value); }
std::string Number(int32_t value) { return std::to_string(static_cast<uint32_t>(value)); }

// Appends elements and attributes, remembering the first failure; once one
// step failed, later ones do nothing, and the caller checks ok() at the end.
class TreeBuilder {
 public:
  XmlNode* Add(XmlNode* parent, const char* name, std::string_view text = {}) {
    if (parent == nullptr || !ok_) return Fail();
    XmlNode* node = XmlNode_NewElement(name, std::string(text).c_str());
    if (node == nullptr) return Fail();
    XmlNode_AppendChild(parent, node);
    return node;
  }
  void Set(XmlNode* node, const char* name, std::string_view value) {
    if (node == nullptr || !ok_) return;
    if (XmlNode_SetAttribute(node, name, std::string(value).c_str()) != kXmlOk) Fail();
  }
  bool ok() const { return ok_; }

 private:
  XmlNode* Fail() {
    ok_ = false;
    return nullptr;
  }
  bool ok_ = true;
};

// Field types 2 to 4 keep numbers in the parameters; 0 and 1 texts.
bool HasNumericParameters(int32_t field_type) {
  return field_type >= txpl_crit_field_type_num && field_type <= txpl_crit_field_type_date;
}

void WriteFirstParameter(TreeBuilder& b, XmlNode* crit, const CriterionRecord& c, const DescriptorList* genres) {
  if (c.selection_based) {
    b.Set(b.Add(crit, "PARAM1"), "DYNAMIC", "1");
    return;
  }
  const bool numeric = HasNumericParameters(c.field_type);
  XmlNode* param = b.Add(crit, "PARAM1", numeric ? Number(c.int_param(0)) : c.str_param(0));
  if (c.field() != txpl_crit_field_track_genrev2 || genres == nullptr) return;
  if (const DescriptorItem* genre = genres->FindById(c.int_param(0))) {
    b.Set(param, "FIELDLIST", FieldCatalog_Name(txpl_crit_field_track_genrev2));
    b.Set(param, "MASTERID", Number(genre->master_id()));
    b.Set(param, "IDSYSLEVEL", Number(genre->system_level()));
  }
}

void WriteCriterion(TreeBuilder& b, XmlNode* criteria, const CriterionRecord& c, const DescriptorList* genres) {
  XmlNode* crit = b.Add(criteria, "CRIT");
  b.Set(crit, "ORDER", Number(uint32_t{c.order}));
  b.Set(b.Add(crit, "FIELD", FieldCatalog_Name(c.field())), "TYPE", FieldType_Name(c.field_type));
  b.Add(crit, "OP", Operator_Name(c.op));
  WriteFirstParameter(b, crit, c, genres);
  if (HasNumericParameters(c.field_type)) {
    b.Add(crit, "PARAM2", Number(c.int_param(1)));
    b.Add(crit, "PARAM3", Number(c.int_param(2)));
  } else {
    b.Add(crit, "PARAM2", c.str_param(1));
  }
  b.Add(crit, "WEIGHT", Number(uint32_t{c.weight}));
}

void WriteLimits(TreeBuilder& b, XmlNode* pset, const GeneratorRecord& g) {
  XmlNode* limit = b.Add(pset, "LIMIT");
  for (const FieldLimit& l : g.field_limits()) {
    b.Set(b.Add(limit, "PERFIELD", FieldCatalog_Name(l.field)), "LIMIT", Number(l.limit));
  }
  const std::pair<const char*, uint32_t> totals[] = {
      {"MAXKB", g.size_limit_kb}, {"MAXTIME", g.time_limit_minutes}, {"MAXSONGS", g.song_limit}};
  for (const auto& [name, value] : totals) {
    if (value != 0) b.Add(limit, name, Number(value));
  }
}

void WriteGenerator(TreeBuilder& b, XmlNode* root, const GeneratorRecord& g, const DescriptorList* genres) {
  XmlNode* pset = b.Add(root, "PSET");
  XmlNode* criteria = b.Add(pset, "CRITERIA");
  b.Set(criteria, "MATCH", MatchMode_Name(g.match_mode == txpl_matchmode_match_any ? txpl_matchmode_match_any
                                                                                     : txpl_matchmode_match_all));
  for (const CriterionPtr& c : g.criteria()) WriteCriterion(b, criteria, *c, genres);
  WriteLimits(b, pset, g);
  for (const RankEntry& r : g.rank_entries()) {
    if (!IsNamedField(r.field)) continue;  // positions of skipped entries still count
    XmlNode* rank = b.Add(pset, "RANKFIELD", FieldCatalog_Name(r.field));
    b.Set(rank, "ORDER", RankOrder_Name(r.order));
    b.Set(rank, "RANKINDEX", Number(uint32_t{r.position}));
  }
  b.Add(pset, "NAME", g.name);
  b.Add(pset, "DESC", g.description);
  b.Add(pset, "AUTOUPDATE", g.auto_update == 1 ? "1" : "0");
  b.Add(pset, "SEED", Number(g.seed));
  if (IsNamedField(g.sort_field)) b.Add(pset, "SORTRESULTS", FieldCatalog_Name(g.sort_field));
}

}  // namespace

XmlNodePtr BuildPresetDocument(const GeneratorChain& chain, const DescriptorList* genres) noexcept {
  try {
    XmlNodePtr root(XmlNode_NewElement("LIST", nullptr));
    if (root == nullptr) return nullptr;
    TreeBuilder b;
    b.Set(root.get(), "NAME", "PRESETS");
    for (const GeneratorPtr& g : chain.records()) WriteGenerator(b, root.get(), *g, genres);
    return b.ok() ? std::move(root) : nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace tavo
