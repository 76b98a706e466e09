#include "read_objects.h"

#include <cstdlib>

#include "status.h"

namespace tavo::tool {
namespace {

template <class I>
std::string TextOf(I* object, HRESULT (STDMETHODCALLTYPE I::*getter)(BSTR*)) {
  Text value;
  return SUCCEEDED((object->*getter)(value.out())) ? value.utf8() : std::string();
}

template <class I>
long NumberOf(I* object, HRESULT (STDMETHODCALLTYPE I::*getter)(LONG*)) {
  LONG value = 0;
  return SUCCEEDED((object->*getter)(&value)) ? value : 0;
}

std::string Extended(ITAVODiscData* data, const char* name) {
  Text key(name), value;
  return SUCCEEDED(data->GetExtended(0, key.get(), value.out())) ? value.utf8() : std::string();
}

long Number(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

}  // namespace

GenreNames::GenreNames(ITavoPlaylist2Mgr* manager) {
  if (FAILED(manager->GetGenreDisplayList(0, list_.out()))) list_.Reset();
}

std::string GenreNames::Name(const std::string& id) {
  if (id.empty() || !list_) return id;
  if (auto it = cache_.find(id); it != cache_.end()) return it->second;
  std::string name = id;
  Ref<ITavoPLDataListItem> item;
  if (SUCCEEDED(list_->GetDisplayItemByID(Number(id), item.out())) && item) {
    const std::string display = TextOf(item.get(), &ITavoPLDataListItem::get_Name);
    if (!display.empty()) name = display;
  }
  return cache_[id] = name;
}

Track TrackOfResult(ITavoPL2Result* r, GenreNames* genres) {
  Track t;
  t.path = TextOf(r, &ITavoPL2Result::GetFilename);
  t.artist = TextOf(r, &ITavoPL2Result::GetArtist);
  t.album = TextOf(r, &ITavoPL2Result::GetAlbum);
  t.title = TextOf(r, &ITavoPL2Result::GetTitle);
  t.genre = genres ? genres->Name(TextOf(r, &ITavoPL2Result::GetGenreId)) : TextOf(r, &ITavoPL2Result::GetGenreId);
  t.bytes = NumberOf(r, &ITavoPL2Result::GetFilesize);
  t.seconds = NumberOf(r, &ITavoPL2Result::GetTracklength);
  t.kbps = NumberOf(r, &ITavoPL2Result::GetBitrate);
  return t;
}

std::vector<Track> TracksOfResults(ITavoPL2ResultList* results, GenreNames* genres) {
  LONG count = 0;
  Check(results->get_Count(&count), "reading the playlist");
  std::vector<Track> tracks;
  for (LONG i = 1; i <= count; ++i) {
    Ref<ITavoPL2Result> result;
    Check(results->GetResult(i, result.out()), "reading track " + std::to_string(i) + " of the playlist");
    tracks.push_back(TrackOfResult(result.get(), genres));
  }
  return tracks;
}

Track TrackOfDisc(IDispatch* disc) {
  Track t;
  Ref<ITAVODiscData> data;
  if (FAILED(disc->QueryInterface(IID_ITAVODiscData, data.out_void()))) return t;
  t.artist = TextOf(data.get(), &ITAVODiscData::get_Artist);
  t.album = TextOf(data.get(), &ITAVODiscData::get_Title);
  t.title = TextOf(data.get(), &ITAVODiscData::get_TrackTitle);
  // The track's release year (what generators and searches test) is the
  // original release; the disc's year is the album's, perhaps a reissue.
  t.year = Extended(data.get(), "PLM_original_release_year");
  if (t.year.empty()) t.year = TextOf(data.get(), &ITAVODiscData::get_Year);
  t.genre = Extended(data.get(), "PLM_genrev2");
  const std::string folder = Extended(data.get(), "PLM_rec_pathname");
  const std::string name = Extended(data.get(), "PLM_rec_filename");
  const bool folder_is_whole_path =
      folder.size() >= name.size() && folder.compare(folder.size() - name.size(), name.size(), name) == 0;
  if (folder.empty() || folder_is_whole_path) t.path = folder.empty() ? name : folder;
  else t.path = folder + (folder.back() == '/' ? "" : "/") + name;
  t.bytes = Number(Extended(data.get(), "PLM_filesize"));
  t.seconds = Number(Extended(data.get(), "PLM_tracklen"));
  t.kbps = Number(Extended(data.get(), "PLM_bitrate"));
  t.plays = Number(Extended(data.get(), "PLM_rec_plays"));
  t.rating = Number(Extended(data.get(), "PLM_rec_rating"));
  return t;
}

GeneratorSummary SummaryOf(ITavoPLGenerator* g, const std::string& list) {
  GeneratorSummary s;
  s.list = list;
  s.name = TextOf(g, &ITavoPLGenerator::get_Name);
  s.description = TextOf(g, &ITavoPLGenerator::get_Description);
  s.songs = NumberOf(g, &ITavoPLGenerator::get_LimitSongs);
  s.minutes = NumberOf(g, &ITavoPLGenerator::get_LimitMinutes);
  s.kilobytes = NumberOf(g, &ITavoPLGenerator::get_LimitKilobytes);
  Ref<ITavoPLGenCriteriaList> criteria;
  if (FAILED(g->get_CriteriaList(criteria.out())) || !criteria) return s;
  const long count = NumberOf(criteria.get(), &ITavoPLGenCriteriaList::get_Count);
  for (LONG i = 1; i <= count; ++i) {
    Ref<ITavoPLGenCriteria> c;
    if (FAILED(criteria->GetCriteria(i, c.out())) || !c) continue;
    CriterionSummary cs;
    cs.field = NumberOf(c.get(), &ITavoPLGenCriteria::get_Field);
    cs.op = NumberOf(c.get(), &ITavoPLGenCriteria::get_Operation);
    cs.param1 = NumberOf(c.get(), &ITavoPLGenCriteria::get_IntParam1);
    cs.param2 = NumberOf(c.get(), &ITavoPLGenCriteria::get_IntParam2);
    cs.text1 = TextOf(c.get(), &ITavoPLGenCriteria::get_StrParam1);
    cs.text2 = TextOf(c.get(), &ITavoPLGenCriteria::get_StrParam2);
    s.criteria.push_back(cs);
  }
  return s;
}

std::vector<ListItem> ItemsOf(ITavoPLDataList* list) {
  std::vector<ListItem> items;
  const long count = NumberOf(list, &ITavoPLDataList::get_Count);
  for (LONG i = 1; i <= count; ++i) {
    Ref<ITavoPLDataListItem> item;
    if (FAILED(list->GetItem(i, item.out())) || !item) continue;
    ListItem li;
    li.id = NumberOf(item.get(), &ITavoPLDataListItem::get_Id);
    li.name = TextOf(item.get(), &ITavoPLDataListItem::get_Name);
    li.description = TextOf(item.get(), &ITavoPLDataListItem::get_Description);
    Ref<ITavoPLIDList> parents;
    if (SUCCEEDED(item->get_Parents(parents.out())) && parents) {
      const long n = NumberOf(parents.get(), &ITavoPLIDList::get_Count);
      for (LONG k = 1; k <= n; ++k) {
        LONG id = 0;
        if (SUCCEEDED(parents->GetID(k, &id))) li.parents.push_back(id);
      }
    }
    Ref<ITavoEra> era;
    Ref<ITavoPopularityRange> range;
    if (SUCCEEDED(item->QueryInterface(IID_ITavoEra, era.out_void())) && era) {
      li.range = std::to_string(NumberOf(era.get(), &ITavoEra::get_StartYear)) + "-" +
                 std::to_string(NumberOf(era.get(), &ITavoEra::get_EndYear));
    } else if (SUCCEEDED(item->QueryInterface(IID_ITavoPopularityRange, range.out_void())) && range) {
      li.range = std::to_string(NumberOf(range.get(), &ITavoPopularityRange::get_StartRange)) + "-" +
                 std::to_string(NumberOf(range.get(), &ITavoPopularityRange::get_EndRange));
    }
    items.push_back(std::move(li));
  }
  return items;
}

}  // namespace tavo::tool
