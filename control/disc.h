// Disc objects: what a host (or the manager, for a stored track) says about
// one album and the file's track on it. Values that were never set are
// absent and their getters fail with TAVOCTL_E_NO_VALUE, so a reader can
// tell "not given" from "given as empty".
#ifndef TAVO_CONTROL_DISC_H_
#define TAVO_CONTROL_DISC_H_

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "control/reserved_slots.h"
#include "platform/com/out_values.h"
#include "platform/com/object.h"

namespace tavo::control {

class Track : public ComObject<Track, ITAVOTrack> {
 public:
  Track(LONG position, std::string title) : position_(position), title_(std::move(title)) {}

  HRESULT STDMETHODCALLTYPE get_Position(LONG* position) override { return StoreOut(position, position_); }
  HRESULT STDMETHODCALLTYPE get_Title(BSTR* v) override { return StoreText(v, title_); }
  HRESULT STDMETHODCALLTYPE put_Title(BSTR v) override { return title_ = BstrToUtf8(v), S_OK; }
  HRESULT STDMETHODCALLTYPE get_Artist(BSTR* v) override;
  HRESULT STDMETHODCALLTYPE put_Artist(BSTR v) override { return artist_ = BstrToUtf8(v), S_OK; }

  void set_position(LONG position) { position_ = position; }
  const std::string& title() const { return title_; }

 private:
  LONG position_;
  std::string title_;
  std::optional<std::string> artist_;
};

class Disc : public ComObject<Disc, ITAVODisc, ITAVODiscData> {
 public:
  // Both interfaces: the same members answer for each.
  HRESULT STDMETHODCALLTYPE get_Title(BSTR* v) override { return Get(title_, v); }
  HRESULT STDMETHODCALLTYPE get_Artist(BSTR* v) override { return Get(artist_, v); }
  HRESULT STDMETHODCALLTYPE get_Year(BSTR* v) override { return Get(year_, v); }
  HRESULT STDMETHODCALLTYPE get_TrackCount(LONG* count) override {
    return StoreOut(count, static_cast<LONG>(tracks_.size()));
  }
  HRESULT STDMETHODCALLTYPE GetTrack(LONG position, ITAVOTrack** track) override;

  // Disc interface.
  HRESULT STDMETHODCALLTYPE get_Data(ITAVODiscData** data) override;

  // Data interface.
  HRESULT STDMETHODCALLTYPE get_DiscID(BSTR* v) override { return Get(disc_id_, v); }
  HRESULT STDMETHODCALLTYPE put_DiscID(BSTR v) override { return Set(disc_id_, v); }
  HRESULT STDMETHODCALLTYPE put_Title(BSTR v) override { return Set(title_, v); }
  HRESULT STDMETHODCALLTYPE put_Artist(BSTR v) override { return Set(artist_, v); }
  HRESULT STDMETHODCALLTYPE get_Genre(BSTR* v) override { return Get(genre_, v); }
  HRESULT STDMETHODCALLTYPE put_Genre(BSTR v) override { return Set(genre_, v); }
  HRESULT STDMETHODCALLTYPE put_Year(BSTR v) override { return Set(year_, v); }
  HRESULT STDMETHODCALLTYPE SetTrack(LONG position, BSTR title, ITAVOTrack** track) override;
  HRESULT STDMETHODCALLTYPE RemoveTrack(LONG position) override;
  HRESULT STDMETHODCALLTYPE get_GenreV1(LONG* id) override { return Get(genre_v1_, id); }
  HRESULT STDMETHODCALLTYPE put_GenreV1(LONG id) override { return genre_v1_ = id, S_OK; }
  HRESULT STDMETHODCALLTYPE get_GenreV2(LONG* id) override { return Get(genre_v2_, id); }
  HRESULT STDMETHODCALLTYPE put_GenreV2(LONG id) override { return genre_v2_ = id, S_OK; }
  HRESULT STDMETHODCALLTYPE get_ArtistCount(LONG* count) override {
    return StoreOut(count, static_cast<LONG>(artists_.size()));
  }
  HRESULT STDMETHODCALLTYPE GetArtistName(LONG index, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE AddArtistName(BSTR name) override;
  HRESULT STDMETHODCALLTYPE ClearArtists() override { return artists_.clear(), S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtendedCount(LONG scope, LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetExtendedName(LONG scope, LONG index, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE RemoveExtended(LONG scope, BSTR name) override;
  HRESULT STDMETHODCALLTYPE Clear() override;
  TAVOCTL_RESERVED_ITAVODiscData(TAVOCTL_IMPLEMENT_RESERVED, _)
  HRESULT STDMETHODCALLTYPE get_TrackTitle(BSTR* v) override;
  HRESULT STDMETHODCALLTYPE put_TrackTitle(BSTR v) override { return SetTrack(1, v, nullptr); }
  HRESULT STDMETHODCALLTYPE get_TrackNumber(BSTR* v) override { return Get(track_number_, v); }
  HRESULT STDMETHODCALLTYPE put_TrackNumber(BSTR v) override { return Set(track_number_, v); }
  HRESULT STDMETHODCALLTYPE GetExtended(LONG scope, BSTR name, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE SetExtended(LONG scope, BSTR name, BSTR value) override;

 private:
  // Named values of one scope in the order they were first set.
  using Extended = std::vector<std::pair<std::string, std::string>>;

  static HRESULT Get(const std::optional<std::string>& field, BSTR* v);
  static HRESULT Get(const std::optional<LONG>& field, LONG* v);
  static HRESULT Set(std::optional<std::string>& field, BSTR v) { return field = BstrToUtf8(v), S_OK; }
  // The values of a scope (0 = disc, n = track n); nullptr when the scope
  // names no track.
  Extended* Scope(LONG scope);

  std::optional<std::string> disc_id_, title_, artist_, genre_, year_, track_number_;
  std::optional<LONG> genre_v1_, genre_v2_;
  std::vector<std::string> artists_;
  std::vector<ComPtr<Track>> tracks_;  // position n at index n - 1
  std::vector<Extended> extended_ = std::vector<Extended>(1);  // index = scope
};

}  // namespace tavo::control

#endif  // TAVO_CONTROL_DISC_H_
