// Plain values out of the component's objects: tracks from generated
// results and from the disc objects a search hands out, generator
// summaries, descriptor list items. Getters that fail leave a field empty.
#ifndef TAVO_TOOLS_TAVOPL_READ_OBJECTS_H_
#define TAVO_TOOLS_TAVOPL_READ_OBJECTS_H_

#include <map>
#include <string>
#include <vector>

#include "host.h"
#include "tavo/control.h"
#include "tavo/tavo.h"
#include "track.h"

namespace tavo::tool {

// Display names of genre ids, from the manager's genre display list.
class GenreNames {
 public:
  explicit GenreNames(ITavoPlaylist2Mgr* manager);
  // The name of the genre id given as text; the text itself when unknown.
  std::string Name(const std::string& id);

 private:
  Ref<ITavoGenreDisplayList> list_;
  std::map<std::string, std::string> cache_;
};

Track TrackOfResult(ITavoPL2Result* result, GenreNames* genres);
// The tracks of a result list; stops the tool when the list cannot be read.
std::vector<Track> TracksOfResults(ITavoPL2ResultList* results, GenreNames* genres);
Track TrackOfDisc(IDispatch* disc);

struct CriterionSummary {
  long field = 0, op = 0, param1 = 0, param2 = 0;
  std::string text1, text2;
};

struct GeneratorSummary {
  std::string list;  // "preset" or "user"
  std::string name, description;
  long songs = 0, minutes = 0, kilobytes = 0;
  std::vector<CriterionSummary> criteria;
};

GeneratorSummary SummaryOf(ITavoPLGenerator* generator, const std::string& list);

struct ListItem {
  long id = 0;
  std::string name, description;
  std::vector<long> parents;
  std::string range;  // "1990-1999" for eras and popularity ranges, else ""
};

std::vector<ListItem> ItemsOf(ITavoPLDataList* list);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_READ_OBJECTS_H_
