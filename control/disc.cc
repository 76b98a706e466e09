#include "control/disc.h"

namespace tavo::control {

HRESULT Track::get_Artist(BSTR* v) {
  if (v == nullptr) return E_POINTER;
  *v = nullptr;
  return artist_ ? StoreText(v, *artist_) : TAVOCTL_E_NO_VALUE;
}

HRESULT Disc::Get(const std::optional<std::string>& field, BSTR* v) {
  if (v == nullptr) return E_POINTER;
  *v = nullptr;
  return field ? StoreText(v, *field) : TAVOCTL_E_NO_VALUE;
}

HRESULT Disc::Get(const std::optional<LONG>& field, LONG* v) {
  if (v == nullptr) return E_POINTER;
  *v = 0;
  return field ? StoreOut(v, *field) : TAVOCTL_E_NO_VALUE;
}

Disc::Extended* Disc::Scope(LONG scope) {
  return scope >= 0 && static_cast<size_t>(scope) < extended_.size() ? &extended_[scope] : nullptr;
}

HRESULT Disc::GetTrack(LONG position, ITAVOTrack** track) {
  if (track == nullptr) return E_POINTER;
  *track = nullptr;
  if (position < 1 || static_cast<size_t>(position) > tracks_.size()) return E_INVALIDARG;
  return StoreObject(track, tracks_[position - 1]);
}

HRESULT Disc::get_Data(ITAVODiscData** data) { return StoreObject(data, ComPtr<Disc>(this)); }

HRESULT Disc::SetTrack(LONG position, BSTR title, ITAVOTrack** track) {
  if (track != nullptr) *track = nullptr;
  if (position < 1 || static_cast<size_t>(position) > tracks_.size() + 1) return E_INVALIDARG;
  if (static_cast<size_t>(position) == tracks_.size() + 1) {
    ComPtr<Track> added = Track::Make(position, BstrToUtf8(title));
    if (!added) return E_OUTOFMEMORY;
    tracks_.push_back(std::move(added));
    extended_.emplace_back();
  } else {
    tracks_[position - 1]->put_Title(title);
  }
  return track ? StoreObject(track, tracks_[position - 1]) : S_OK;
}

HRESULT Disc::RemoveTrack(LONG position) {
  if (position < 1 || static_cast<size_t>(position) > tracks_.size()) return E_INVALIDARG;
  tracks_.erase(tracks_.begin() + (position - 1));
  extended_.erase(extended_.begin() + position);
  for (size_t i = 0; i < tracks_.size(); ++i) tracks_[i]->set_position(static_cast<LONG>(i + 1));
  return S_OK;
}

HRESULT Disc::GetArtistName(LONG index, BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  if (index < 1 || static_cast<size_t>(index) > artists_.size()) return E_INVALIDARG;
  return StoreText(name, artists_[index - 1]);
}

HRESULT Disc::AddArtistName(BSTR name) {
  if (name == nullptr || SysStringLen(name) == 0) return E_INVALIDARG;
  artists_.push_back(BstrToUtf8(name));
  return S_OK;
}

HRESULT Disc::GetExtendedCount(LONG scope, LONG* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  const Extended* values = Scope(scope);
  return values ? StoreOut(count, static_cast<LONG>(values->size())) : E_INVALIDARG;
}

HRESULT Disc::GetExtendedName(LONG scope, LONG index, BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  const Extended* values = Scope(scope);
  if (values == nullptr || index < 1 || static_cast<size_t>(index) > values->size()) return E_INVALIDARG;
  return StoreText(name, (*values)[index - 1].first);
}

HRESULT Disc::GetExtended(LONG scope, BSTR name, BSTR* value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  const Extended* values = Scope(scope);
  if (values == nullptr || name == nullptr || SysStringLen(name) == 0) return E_INVALIDARG;
  const std::string key = BstrToUtf8(name);
  for (const auto& [n, v] : *values) {
    if (n == key) return StoreText(value, v);
  }
  return TAVOCTL_E_NO_VALUE;
}

HRESULT Disc::SetExtended(LONG scope, BSTR name, BSTR value) {
  Extended* values = Scope(scope);
  if (values == nullptr || name == nullptr || SysStringLen(name) == 0) return E_INVALIDARG;
  const std::string key = BstrToUtf8(name);
  for (auto& [n, v] : *values) {
    if (n == key) return v = BstrToUtf8(value), S_OK;
  }
  values->emplace_back(key, BstrToUtf8(value));
  return S_OK;
}

HRESULT Disc::RemoveExtended(LONG scope, BSTR name) {
  Extended* values = Scope(scope);
  if (values == nullptr || name == nullptr) return E_INVALIDARG;
  const std::string key = BstrToUtf8(name);
  std::erase_if(*values, [&](const auto& entry) { return entry.first == key; });
  return S_OK;
}

HRESULT Disc::Clear() {
  disc_id_ = title_ = artist_ = genre_ = year_ = track_number_ = std::nullopt;
  genre_v1_ = genre_v2_ = std::nullopt;
  artists_.clear();
  tracks_.clear();
  extended_.assign(1, Extended());
  return S_OK;
}

HRESULT Disc::get_TrackTitle(BSTR* v) {
  if (v == nullptr) return E_POINTER;
  *v = nullptr;
  return tracks_.empty() ? TAVOCTL_E_NO_VALUE : StoreText(v, tracks_.front()->title());
}

}  // namespace tavo::control
