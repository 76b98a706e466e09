// lists KIND: the descriptor lists (genres, eras, origins, artist types,
// popularity ranges) with their hierarchy.
#include <memory>

#include "cli.h"
#include "json_writer.h"
#include "read_objects.h"
#include "status.h"
#include "table_writer.h"

namespace tavo::tool {
namespace {

// Each kind and how the manager hands out its list.
struct ListKind {
  const char* name;
  HRESULT (*get)(ITavoPlaylist2Mgr*, Ref<ITavoPLDataList>*);
};

template <class I>
HRESULT AsDataList(HRESULT hr, Ref<I>& list, Ref<ITavoPLDataList>* out) {
  if (SUCCEEDED(hr) && list) hr = list->QueryInterface(IID_ITavoPLDataList, out->out_void());
  return hr;
}

constexpr ListKind kListKinds[] = {
    {"genres",
     [](ITavoPlaylist2Mgr* m, Ref<ITavoPLDataList>* out) {
       Ref<ITavoGenreDisplayList> l;
       return AsDataList(m->GetGenreDisplayList(0, l.out()), l, out);
     }},
    {"eras",
     [](ITavoPlaylist2Mgr* m, Ref<ITavoPLDataList>* out) {
       Ref<ITavoEraDisplayList> l;
       return AsDataList(m->GetEraDisplayList(0, l.out()), l, out);
     }},
    {"origins",
     [](ITavoPlaylist2Mgr* m, Ref<ITavoPLDataList>* out) {
       Ref<ITavoOriginsList> l;
       return AsDataList(m->GetOrigins(l.out()), l, out);
     }},
    {"artist-types",
     [](ITavoPlaylist2Mgr* m, Ref<ITavoPLDataList>* out) {
       Ref<ITavoArtistTypeList> l;
       return AsDataList(m->GetArtistTypes(l.out()), l, out);
     }},
    {"popularity",
     [](ITavoPlaylist2Mgr* m, Ref<ITavoPLDataList>* out) {
       Ref<ITavoPopularityRangeList> l;
       return AsDataList(m->GetPopularityRanges(l.out()), l, out);
     }},
};

std::string JoinIds(const std::vector<long>& ids) {
  std::string text;
  for (long id : ids) text += (text.empty() ? "" : ",") + std::to_string(id);
  return text;
}

void RunLists(const GlobalOptions& options, const std::string& kind, bool json) {
  const ListKind* chosen = nullptr;
  for (const ListKind& k : kListKinds)
    if (kind == k.name) chosen = &k;
  if (chosen == nullptr) Stop(kExitNotFound, "no list named '" + kind + "'");
  Session session(options);
  session.Open(DatabaseNeed::kCreate);
  Ref<ITavoPLDataList> list;
  Check(chosen->get(session.manager(), &list), std::string("reading the list of ") + chosen->name);
  const std::vector<ListItem> items = ItemsOf(list.get());
  if (json) {
    nlohmann::json out = nlohmann::json::array();
    for (const ListItem& i : items)
      out.push_back({{"id", i.id}, {"name", i.name}, {"description", i.description}, {"parents", i.parents},
                     {"range", i.range}});
    Emit("", JsonText(out));
    return;
  }
  std::vector<Row> rows;
  for (const ListItem& i : items) rows.push_back({std::to_string(i.id), i.name, JoinIds(i.parents), i.range, i.description});
  Emit("", WriteTable({{"id", 8, true}, {"name", 36}, {"parents", 20}, {"range", 11}, {"description", 50}}, rows));
}

}  // namespace

void AddListCommands(Cli cli) {
  const GlobalOptions& options = cli.options;
  auto kind = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  std::vector<std::string> names;
  for (const ListKind& k : kListKinds) names.push_back(k.name);
  CLI::App* l = cli.app.add_subcommand("lists", "Show a descriptor list with its hierarchy (parents by id)");
  l->add_option("KIND", *kind, "genres, eras, origins, artist-types or popularity")
      ->required()
      ->check(CLI::IsMember(names));
  l->add_flag("--json", *json, "JSON instead of a table");
  l->callback([&options, kind, json] { RunLists(options, *kind, *json); });
}

}  // namespace tavo::tool
