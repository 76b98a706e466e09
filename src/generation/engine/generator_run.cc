#include "generation/engine/generator_run.h"

#include <ctime>
#include <new>

#include "generation/engine/criteria_match.h"
#include "generation/engine/day_number.h"
#include "generation/engine/field_limits.h"
#include "generation/engine/key_sort.h"
#include "generation/engine/limit_walk.h"
#include "generation/engine/random_generator.h"
#include "generation/engine/rank_cells.h"
#include "generation/engine/selection_lookup.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

constexpr FieldRange kDefaultGenreScale{txpl_crit_field_track_genre, 0, 10};

DateTime SystemLocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

uint32_t SystemSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

// The database's correlate weight range, or 0..10 when it cannot say.
FieldRange GenreScale(CorrelatesStore* correlates) {
  FieldRange scale = kDefaultGenreScale;
  int32_t minimum = 0, maximum = 0;
  if (correlates != nullptr && correlates->ReadWeightRange(&minimum, &maximum) == kLibraryOk) {
    scale.minimum = minimum;
    scale.maximum = maximum;
  }
  return scale;
}

uint64_t NonNegative(std::optional<int64_t> v) { return v && *v > 0 ? static_cast<uint64_t>(*v) : 0; }

uint32_t Clamp32(uint64_t v) { return v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v); }

PlaylistEntry EntryOf(const ViewSnapshot& view, uint32_t slot, char delimiter) {
  PlaylistEntry e;
  const std::string_view folder = view.Text(slot, kTextFolder);
  e.path.reserve(folder.size() + 1 + view.Text(slot, kTextFileName).size());
  e.path = folder;
  if (folder.empty() || folder.back() != delimiter) e.path += delimiter;
  e.path += view.Text(slot, kTextFileName);
  e.artist = view.Text(slot, kTextArtist);
  e.album = view.Text(slot, kTextAlbum);
  e.title = view.Text(slot, kTextTitle);
  e.genre_id = view.Number(slot, kNumberGenre).value_or(0);
  e.size = NonNegative(view.Size(slot));
  e.length = Clamp32(NonNegative(view.Number(slot, kNumberLength)));
  e.bitrate = Clamp32(NonNegative(view.Number(slot, kNumberBitrate)));
  return e;
}

// The accepted tracks of a run, in identifier order, with what ranking needs.
struct Candidates {
  std::vector<uint32_t> slots;
  std::vector<uint32_t> matches;  // per candidate, when ranked
  std::vector<RankCell> cells;    // width per candidate, when ranked

  void Keep(const std::vector<uint8_t>& eligible, size_t width) {
    size_t kept = 0;
    for (size_t i = 0; i < slots.size(); ++i) {
      if (!eligible[i]) continue;
      slots[kept] = slots[i];
      if (width != 0) {
        matches[kept] = matches[i];
        std::copy_n(cells.begin() + i * width, width, cells.begin() + kept * width);
      }
      ++kept;
    }
    slots.resize(kept);
    if (width != 0) {
      matches.resize(kept);
      cells.resize(kept * width);
    }
  }
};

Candidates Scan(const ViewSnapshot& view, CriteriaMatch& match, RankTable& rank) {
  Candidates c;
  for (uint32_t slot : view.LiveSlots()) {
    if (match.Accepts(slot)) c.slots.push_back(slot);
  }
  std::vector<uint64_t> ids(c.slots.size());
  for (size_t i = 0; i < c.slots.size(); ++i) ids[i] = view.TrackId(c.slots[i]);
  StableSortByKey(&c.slots, &ids);
  const size_t width = rank.width();
  if (width != 0) {
    c.matches.resize(c.slots.size());
    c.cells.resize(c.slots.size() * width);
    for (size_t i = 0; i < c.slots.size(); ++i) {
      RankCell* cells = &c.cells[i * width];
      rank.Fill(c.slots[i], cells);
      c.matches[i] = match.Describe(c.slots[i], rank.columns(), cells);
    }
  }
  return c;
}

void Shuffle(std::vector<uint32_t>* items, RandomGenerator* random) {
  for (size_t i = 0; i < items->size(); ++i) {
    std::swap((*items)[i], (*items)[i + static_cast<size_t>(random->Draw(items->size() - i))]);
  }
}

}  // namespace

RunClock SystemRunClock() noexcept { return RunClock{&SystemLocalNow, &SystemSeconds}; }

RunStatus Generator_Run(const RunRequest& request, std::vector<PlaylistEntry>* entries) noexcept try {
  if (entries == nullptr) return kRunMissingInput;
  entries->clear();
  if (request.generator == nullptr || !request.snapshot) return kRunMissingInput;
  GeneratorRecord& generator = *request.generator;
  const ViewSnapshot& view = *request.snapshot;
  const bool selection_based = generator.IsSelectionBased();
  if (selection_based && request.selection.empty()) return kRunEmptySelection;

  CorrelatesStore* correlates =
      LibraryDatabase_IsOpen(request.database) ? LibraryDatabase_Correlates(request.database) : nullptr;
  const FieldRange scale = GenreScale(correlates);
  generator.SetRunScale(scale.minimum, scale.maximum);

  const uint32_t seed = generator.seed != 0 ? static_cast<uint32_t>(generator.seed)
                        : request.clock.seconds != nullptr ? request.clock.seconds()
                                                           : 0;
  RandomGenerator random(seed);

  std::vector<uint32_t> selection;
  if (selection_based) selection = LookUpSelection(view, request.selection);
  CorrelateTables tables(correlates);
  EvalContext context;
  context.view = &view;
  context.lists = &request.lists;
  if (request.clock.local_now != nullptr) context.today = TodayDayNumber(request.clock.local_now());
  context.genre_scale = scale;
  context.generator = &generator;
  context.correlates = &tables;
  context.selection = selection;
  context.has_selection = selection_based;
  CriteriaMatch match(generator, context);
  RankTable rank(view, generator.rank_entries());
  Candidates candidates = Scan(view, match, rank);
  const size_t width = rank.width();

  if (!generator.field_limits().empty()) {
    std::vector<uint8_t> eligible;
    ApplyFieldLimits(view, generator.field_limits(), candidates.slots, &random, &eligible);
    candidates.Keep(eligible, width);
  }

  std::vector<WalkCandidate> walk(candidates.slots.size());
  for (size_t i = 0; i < walk.size(); ++i) {
    walk[i].size = NonNegative(view.Size(candidates.slots[i]));
    walk[i].length = NonNegative(view.Number(candidates.slots[i], kNumberLength));
  }
  RankCompare compare;
  if (width != 0) {
    compare = [&](uint32_t a, uint32_t b) {
      return rank.Compare(&candidates.cells[a * width], candidates.matches[a], &candidates.cells[b * width],
                          candidates.matches[b]);
    };
  }
  const WalkLimits limits{uint64_t{generator.size_limit_kb} * 1024, uint64_t{generator.time_limit_minutes} * 60,
                          generator.song_limit};
  const std::vector<uint32_t> picked = WalkUnderLimits(walk, compare, limits, &random);

  std::vector<uint32_t> playlist(picked.size());
  for (size_t i = 0; i < picked.size(); ++i) playlist[i] = candidates.slots[picked[i]];
  if (generator.sort_field >= 1 && generator.sort_field <= txpl_crit_field_last - 1) {
    std::vector<uint64_t> keys = FieldSortKeys(view, generator.sort_field, playlist);
    StableSortByKey(&playlist, &keys);
  } else {
    Shuffle(&playlist, &random);
  }

  entries->reserve(playlist.size());
  for (uint32_t slot : playlist) entries->push_back(EntryOf(view, slot, request.dir_delim));
  ProcessRandom_Continue(random);
  return kRunOk;
} catch (const std::bad_alloc&) {
  entries->clear();
  return kRunNoMemory;
}

}  // namespace tavo
