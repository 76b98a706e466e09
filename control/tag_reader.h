// The MP3 and WMA tag readers: one object per file, with the reader
// interface of its format and the tag interface. Open reads the whole tag
// into a TagData and closes the file; Save writes the changed keys back.
#ifndef TAVO_CONTROL_TAG_READER_H_
#define TAVO_CONTROL_TAG_READER_H_

#include <memory>
#include <string>

#include "control/reserved_slots.h"
#include "platform/com/out_values.h"
#include "control/tag_data.h"
#include "platform/com/object.h"

namespace tavo::control {

// What both readers share; the COM classes below forward to it.
class TagReaderCore {
 public:
  explicit TagReaderCore(TagFormat format);

  HRESULT Open(BSTR filename, LONG mode);
  HRESULT Close();
  HRESULT Save();
  HRESULT FileName(BSTR* name) const;
  HRESULT IsOpen(LONG* open) const { return StoreOut(open, open_ ? 1 : 0); }
  HRESULT Stream(LONG StreamInfo::*field, LONG* value) const;
  HRESULT Format(BSTR* format) const;

  HRESULT Get(TagProperty property, BSTR* value) const;
  HRESULT Put(TagProperty property, BSTR value);
  HRESULT HasTag(LONG* has) const;
  HRESULT GetFrame(BSTR name, BSTR* text) const;
  HRESULT SetFrame(BSTR name, BSTR text);
  HRESULT RemoveFrame(BSTR name) { return SetFrame(name, nullptr); }

 private:
  // The value of a key as stored, or nullptr.
  const std::string* Value(const std::string& key) const;
  void SetValue(const std::string& key, const std::string* value);

  const TagFormat format_;
  const std::unique_ptr<TagBackend> backend_;
  bool open_ = false;
  bool writable_ = false;
  std::string path_;
  TagData data_;
};

template <class ReaderInterface, TagFormat kFormat>
class TagReader : public ComObject<TagReader<ReaderInterface, kFormat>, ReaderInterface, ITAVOTag> {
 public:
  TagReader() : core_(kFormat) {}

  // Reader interface.
  HRESULT STDMETHODCALLTYPE get_FileName(BSTR* name) override { return core_.FileName(name); }
  HRESULT STDMETHODCALLTYPE get_IsOpen(LONG* open) override { return core_.IsOpen(open); }
  HRESULT STDMETHODCALLTYPE Close() override { return core_.Close(); }
  HRESULT STDMETHODCALLTYPE get_Duration(LONG* v) override { return core_.Stream(&StreamInfo::duration_ms, v); }
  HRESULT STDMETHODCALLTYPE get_Bitrate(LONG* v) override { return core_.Stream(&StreamInfo::bitrate_kbps, v); }
  HRESULT STDMETHODCALLTYPE get_SampleRate(LONG* v) override { return core_.Stream(&StreamInfo::sample_rate, v); }
  HRESULT STDMETHODCALLTYPE get_Channels(LONG* v) override { return core_.Stream(&StreamInfo::channels, v); }
  HRESULT STDMETHODCALLTYPE get_TagFormat(BSTR* format) override { return core_.Format(format); }
  HRESULT STDMETHODCALLTYPE Save() override { return core_.Save(); }
  TAVOCTL_RESERVED_Reader(TAVOCTL_IMPLEMENT_RESERVED, _)
  HRESULT STDMETHODCALLTYPE Open(BSTR filename, LONG mode) override { return core_.Open(filename, mode); }

  // Tag interface.
#define TAVOCTL_TAG_PROPERTY(Name, property)                                                          \
  HRESULT STDMETHODCALLTYPE get_##Name(BSTR* v) override { return core_.Get(TagProperty::property, v); } \
  HRESULT STDMETHODCALLTYPE put_##Name(BSTR v) override { return core_.Put(TagProperty::property, v); }
  TAVOCTL_TAG_PROPERTY(Album, kAlbum)
  TAVOCTL_TAG_PROPERTY(AlbumSort, kAlbumSort)
  TAVOCTL_TAG_PROPERTY(Title, kTitle)
  TAVOCTL_TAG_PROPERTY(TitleSort, kTitleSort)
  TAVOCTL_TAG_PROPERTY(Composer, kComposer)
  TAVOCTL_TAG_PROPERTY(Comment, kComment)
  TAVOCTL_TAG_PROPERTY(Label, kLabel)
  TAVOCTL_TAG_PROPERTY(AlbumArtist, kAlbumArtist)
  TAVOCTL_TAG_PROPERTY(Artist, kArtist)
  TAVOCTL_TAG_PROPERTY(ArtistSort, kArtistSort)
  TAVOCTL_TAG_PROPERTY(TrackNumber, kTrackNumber)
  TAVOCTL_TAG_PROPERTY(Year, kYear)
  TAVOCTL_TAG_PROPERTY(GenreText, kGenre)
  TAVOCTL_TAG_PROPERTY(TagID, kTagId)
  TAVOCTL_TAG_PROPERTY(DiscNumber, kDiscNumber)
  TAVOCTL_TAG_PROPERTY(OriginalYear, kOriginalYear)
  TAVOCTL_TAG_PROPERTY(TotalTracks, kTotalTracks)
#undef TAVOCTL_TAG_PROPERTY
  HRESULT STDMETHODCALLTYPE get_HasTag(LONG* has) override { return core_.HasTag(has); }
  HRESULT STDMETHODCALLTYPE SaveTag() override { return core_.Save(); }
  HRESULT STDMETHODCALLTYPE RemoveFrame(BSTR name) override { return core_.RemoveFrame(name); }
  HRESULT STDMETHODCALLTYPE SetFrameText(BSTR name, BSTR text) override { return core_.SetFrame(name, text); }
  HRESULT STDMETHODCALLTYPE GetFrameText(BSTR name, BSTR* text) override { return core_.GetFrame(name, text); }

 private:
  TagReaderCore core_;
};

using Mp3TagReader = TagReader<ITAVOMP3Reader, TagFormat::kMp3>;
using WmaTagReader = TagReader<ITAVOWMAReader, TagFormat::kWma>;

}  // namespace tavo::control

#endif  // TAVO_CONTROL_TAG_READER_H_
