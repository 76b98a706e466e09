// The tag readers over files written by the demo tool, by TagLib directly,
// and over files that are missing, untagged or damaged.
#include "control/tag_reader.h"

#include <gtest/gtest.h>
#include <taglib/asffile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <filesystem>

#include "demo_writer.h"
#include "scratch_dir.h"
#include "silent_mp3.h"
#include "support/dispatch_call.h"

namespace tavo::control {
namespace {

std::string Text(HRESULT hr, BSTR& s) {
  std::string out = SUCCEEDED(hr) ? BstrToUtf8(s) : "<" + std::to_string(static_cast<uint32_t>(hr)) + ">";
  SysFreeString(s);
  return out;
}

// Reads property getters and frames of one open tag as text, a failure as
// "<status>".
struct TagView {
  ComPtr<ITAVOTag> tag;
  std::string Get(HRESULT (STDMETHODCALLTYPE ITAVOTag::*getter)(BSTR*)) {
    BSTR s = nullptr;
    const HRESULT hr = (tag.Get()->*getter)(&s);
    return Text(hr, s);
  }
  std::string Frame(const char16_t* name) {
    BSTR n = SysAllocString(name), s = nullptr;
    const HRESULT hr = tag->GetFrameText(n, &s);
    SysFreeString(n);
    return Text(hr, s);
  }
};

const std::string kNoValue = "<" + std::to_string(static_cast<uint32_t>(TAVOCTL_E_NO_VALUE)) + ">";

template <class R>
HRESULT OpenFile(const ComPtr<R>& reader, const std::string& path, LONG mode = TAVOCTL_OPEN_READ) {
  BSTR name = BstrFromUtf8(path);
  const HRESULT hr = reader->Open(name, mode);
  SysFreeString(name);
  return hr;
}

template <class R>
TagView ViewOf(const ComPtr<R>& reader) {
  TagView view;
  reader->QueryInterface(IID_ITAVOTag, view.tag.ReleaseAndGetVoidAddressOf());
  return view;
}

const Recording& FirstRecording(bool reissue, bool odd_track) {
  for (const Recording& r : DemoRecordings()) {
    if ((r.original_year != 0) == reissue && (r.track % 2 == 1) == odd_track) return r;
  }
  return DemoRecordings().front();
}

TEST(TagReaderTest, ReadsDemoFilesOfBothTagVersions) {
  ScratchDir dir;
  for (bool odd : {true, false}) {  // ID3v2.3 and ID3v2.4
    const Recording& r = FirstRecording(true, odd);
    const std::string path = dir.File("demo.mp3");
    std::string error;
    ASSERT_TRUE(WriteDemoFile(path, r, &error)) << error;
    ComPtr<Mp3TagReader> reader = Mp3TagReader::Make();
    ASSERT_EQ(S_OK, OpenFile(reader, path));
    TagView v = ViewOf(reader);
    EXPECT_EQ(r.title, v.Get(&ITAVOTag::get_Title));
    EXPECT_EQ(r.album, v.Get(&ITAVOTag::get_Album));
    EXPECT_EQ(r.artists.front(), v.Get(&ITAVOTag::get_Artist).substr(0, r.artists.front().size()));
    EXPECT_EQ(r.label, v.Get(&ITAVOTag::get_Label));
    EXPECT_EQ(std::to_string(r.track), v.Get(&ITAVOTag::get_TrackNumber));
    EXPECT_EQ(std::to_string(r.total_tracks), v.Get(&ITAVOTag::get_TotalTracks));
    EXPECT_EQ(std::to_string(r.year), v.Get(&ITAVOTag::get_Year));
    EXPECT_EQ(r.tag_id, v.Get(&ITAVOTag::get_TagID));
    EXPECT_FALSE(v.Get(&ITAVOTag::get_GenreText).empty());
    EXPECT_EQ(std::to_string(r.original_year), v.Frame(u"TORY"));
    EXPECT_EQ(std::to_string(SilentMp3Duration(r.vbr, r.seconds * 1000)), v.Frame(u"TLEN"));
    EXPECT_NE(kNoValue, v.Frame(u"TBPM"));
    EXPECT_EQ(kNoValue, v.Frame(u"TCOM"));
    LONG duration = 0, has = 0;
    EXPECT_EQ(S_OK, reader->get_Duration(&duration));
    EXPECT_NEAR(r.seconds * 1000, duration, 150);
    EXPECT_EQ(S_OK, v.tag->get_HasTag(&has));
    EXPECT_EQ(1, has);
  }
}

TEST(TagReaderTest, ReadsMp3TaggedByTagLib) {
  ScratchDir dir;
  const std::string path = dir.Write("other.mp3", SilentMp3(false, 1000, 1));
  {
    TagLib::MPEG::File file(path.c_str());
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    tag->setTitle(TagLib::String("Caf\xC3\xA9 Night", TagLib::String::UTF8));
    tag->setArtist("Somebody Else");
    tag->setTrack(5);
    tag->setYear(2001);
    auto* id = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::UTF8);
    id->setDescription(TAVOCTL_TAGID_ID3_DESCRIPTION);
    id->setText("31Z1XA1NBBU12345QQ");
    tag->addFrame(id);
    auto* genre = new TagLib::ID3v2::TextIdentificationFrame("TCON", TagLib::String::Latin1);
    genre->setText("(17)");  // a version-1 genre number
    tag->addFrame(genre);
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v3));
  }
  ComPtr<Mp3TagReader> reader = Mp3TagReader::Make();
  ASSERT_EQ(S_OK, OpenFile(reader, path));
  TagView v = ViewOf(reader);
  EXPECT_EQ("Caf\xC3\xA9 Night", v.Get(&ITAVOTag::get_Title));
  EXPECT_EQ("Somebody Else", v.Get(&ITAVOTag::get_Artist));
  EXPECT_EQ("5", v.Get(&ITAVOTag::get_TrackNumber));
  EXPECT_EQ(kNoValue, v.Get(&ITAVOTag::get_TotalTracks));
  EXPECT_EQ("2001", v.Get(&ITAVOTag::get_Year));
  EXPECT_EQ("31Z1XA1NBBU12345QQ", v.Get(&ITAVOTag::get_TagID));
  EXPECT_EQ(kNoValue, v.Get(&ITAVOTag::get_Label));
  EXPECT_EQ(kNoValue, v.Frame(u"TORY"));
  EXPECT_EQ("Rock", v.Get(&ITAVOTag::get_GenreText));
}

// A script host holding the tag interface calls its members by name: the
// tag's names dispatch on the tag's pointer, the reader's on the reader's.
TEST(TagReaderTest, EachInterfaceOfAReaderDispatchesItsOwnMembersByName) {
  ScratchDir dir;
  const Recording& r = FirstRecording(false, true);
  const std::string path = dir.File("demo.mp3");
  std::string error;
  ASSERT_TRUE(WriteDemoFile(path, r, &error)) << error;
  ComPtr<Mp3TagReader> reader = Mp3TagReader::Make();
  ASSERT_EQ(S_OK, OpenFile(reader, path));
  ComPtr<ITAVOTag> tag = ViewOf(reader).tag;
  ASSERT_TRUE(tag);

  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, host_calls::CallByName(tag.Get(), u"Title", DISPATCH_PROPERTYGET, {}, &result));
  EXPECT_EQ(r.title, BstrToUtf8(result.bstrVal));
  VariantClear(&result);
  VARIANT name = host_calls::TextArg(u"TIT2");
  ASSERT_EQ(S_OK, host_calls::CallByName(tag.Get(), u"GetFrameText", DISPATCH_METHOD, {name}, &result));
  EXPECT_EQ(r.title, BstrToUtf8(result.bstrVal));
  VariantClear(&result);
  VariantClear(&name);
  EXPECT_EQ(DISP_E_UNKNOWNNAME, host_calls::CallByName(tag.Get(), u"Bitrate", DISPATCH_PROPERTYGET, {}, &result));

  ComPtr<ITAVOMP3Reader> stream;
  ASSERT_EQ(S_OK, reader->QueryInterface(IID_ITAVOMP3Reader, stream.ReleaseAndGetVoidAddressOf()));
  ASSERT_EQ(S_OK, host_calls::CallByName(stream.Get(), u"Bitrate", DISPATCH_PROPERTYGET, {}, &result));
  EXPECT_EQ(VT_I4, result.vt);
  EXPECT_GT(result.lVal, 0);
  EXPECT_EQ(DISP_E_UNKNOWNNAME, host_calls::CallByName(stream.Get(), u"Title", DISPATCH_PROPERTYGET, {}, &result));
}

TEST(TagReaderTest, ReadsWmaTaggedByTagLib) {
  ScratchDir dir;
  const std::string path = dir.File("song.wma");
  std::filesystem::copy_file(TAVO_SOURCE_DIR "/tests/media/data/sine_2s_32kbps.wma", path);
  {
    TagLib::ASF::File file(path.c_str());
    ASSERT_TRUE(file.isValid());
    TagLib::ASF::Tag* tag = file.tag();
    tag->setTitle("Windward");
    tag->setArtist("The Other Band");
    const std::pair<const char*, const char*> attributes[] = {
        {"WM/AlbumTitle", "Far Shore"}, {"WM/Publisher", "Dune Records"},       {"WM/TrackNumber", "4"},
        {"WM/Year", "1999"},            {"WM/OriginalReleaseYear", "1977"},     {"WM/BeatsPerMinute", "96"},
        {"WM/Genre", "Dub"},            {TAVOCTL_TAGID_ASF_ATTRIBUTE, "3CD3PV98765XYZ"}};
    for (const auto& [name, value] : attributes) tag->setAttribute(name, TagLib::ASF::Attribute(TagLib::String(value)));
    ASSERT_TRUE(file.save());
  }
  ComPtr<WmaTagReader> reader = WmaTagReader::Make();
  ASSERT_EQ(S_OK, OpenFile(reader, path));
  TagView v = ViewOf(reader);
  EXPECT_EQ("Windward", v.Get(&ITAVOTag::get_Title));
  EXPECT_EQ("The Other Band", v.Get(&ITAVOTag::get_Artist));
  EXPECT_EQ("Far Shore", v.Get(&ITAVOTag::get_Album));
  EXPECT_EQ("Dune Records", v.Get(&ITAVOTag::get_Label));
  EXPECT_EQ("4", v.Get(&ITAVOTag::get_TrackNumber));
  EXPECT_EQ("1999", v.Get(&ITAVOTag::get_Year));
  EXPECT_EQ("Dub", v.Get(&ITAVOTag::get_GenreText));
  EXPECT_EQ("3CD3PV98765XYZ", v.Get(&ITAVOTag::get_TagID));
  EXPECT_EQ("1977", v.Frame(u"TORY"));
  EXPECT_EQ("96", v.Frame(u"TBPM"));
  const std::string length = v.Frame(u"TLEN");
  EXPECT_NEAR(2000, std::stoi(length), 200) << length;
}

// Setting the tag identifier and saving it, in both formats; a reader opened
// for reading only refuses to save.
TEST(TagReaderTest, TagIdentifierSurvivesSaveAndReopen) {
  ScratchDir dir;
  const std::string mp3 = dir.Write("plain.mp3", SilentMp3(true, 1000, 3));
  const std::string wma = dir.File("plain.wma");
  std::filesystem::copy_file(TAVO_SOURCE_DIR "/tests/media/data/sine_2s_32kbps.wma", wma);
  auto check = [](auto reader, const std::string& path) {
    SCOPED_TRACE(path);
    ASSERT_EQ(S_OK, OpenFile(reader, path, TAVOCTL_OPEN_READ));
    TagView v = ViewOf(reader);
    BSTR id = SysAllocString(u"3CD3PU55555ABCDEF");
    EXPECT_EQ(S_OK, v.tag->put_TagID(id));
    EXPECT_EQ(TAVOCTL_E_READ_ONLY, v.tag->SaveTag());
    ASSERT_EQ(S_OK, OpenFile(reader, path, TAVOCTL_OPEN_READWRITE));
    EXPECT_EQ(kNoValue, v.Get(&ITAVOTag::get_TagID));
    EXPECT_EQ(S_OK, v.tag->put_TagID(id));
    EXPECT_EQ(S_OK, v.tag->SaveTag());
    SysFreeString(id);
    ASSERT_EQ(S_OK, OpenFile(reader, path, TAVOCTL_OPEN_READ));
    EXPECT_EQ("3CD3PU55555ABCDEF", v.Get(&ITAVOTag::get_TagID));
  };
  check(Mp3TagReader::Make(), mp3);
  check(WmaTagReader::Make(), wma);
}

// An ID3v2.3 tag of `frames` before one second of audio.
std::string Id3v23(const std::string& frames, uint32_t declared_size) {
  std::string tag = "ID3";
  tag += '\x03';
  tag += '\0';
  tag += '\0';
  for (int shift : {21, 14, 7, 0}) tag += static_cast<char>((declared_size >> shift) & 0x7F);
  return tag + frames + SilentMp3(false, 1000, 0);
}

std::string Frame(const char* id, uint32_t size, const std::string& body) {
  std::string f = id;
  for (int shift : {24, 16, 8, 0}) f += static_cast<char>(size >> shift);
  f += std::string(2, '\0');
  return f + body;
}

TEST(TagReaderTest, BadFilesFailOrReadAsUntagged) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.File("folder.mp3"));
  const std::string title = Frame("TIT2", 6, std::string("\0Hello", 6));
  struct Case {
    const char* name;
    std::string path;
    bool opens;
  } cases[] = {
      {"missing", dir.File("missing.mp3"), false},
      {"directory", dir.File("folder.mp3"), false},
      {"empty", dir.Write("empty.mp3", ""), false},
      {"garbage", dir.Write("garbage.mp3", std::string(5000, '\x5A')), false},
      {"untagged", dir.Write("untagged.mp3", SilentMp3(false, 1000, 0)), true},
      {"frame larger than tag", dir.Write("huge.mp3", Id3v23(Frame("TALB", 0x7FFFFFF0, "x") + title, 40)), true},
      {"tag larger than file", dir.Write("long.mp3", Id3v23(title, 0x0FFFFFFF)), true},
      {"zero-size frame", dir.Write("zero.mp3", Id3v23(Frame("TPE1", 0, "") + title, 40)), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ComPtr<Mp3TagReader> reader = Mp3TagReader::Make();
    const HRESULT hr = OpenFile(reader, c.path);
    if (!c.opens) {
      EXPECT_TRUE(FAILED(hr));
      LONG open = 1;
      EXPECT_EQ(S_OK, reader->get_IsOpen(&open));
      EXPECT_EQ(0, open);
      EXPECT_EQ("<" + std::to_string(static_cast<uint32_t>(TAVOCTL_E_NOT_OPEN)) + ">",
                ViewOf(reader).Get(&ITAVOTag::get_Title));
      continue;
    }
    ASSERT_EQ(S_OK, hr);
    TagView v = ViewOf(reader);
    EXPECT_EQ(kNoValue, v.Get(&ITAVOTag::get_TagID));
    EXPECT_EQ(kNoValue, v.Get(&ITAVOTag::get_Album));
  }
  ComPtr<WmaTagReader> wma = WmaTagReader::Make();
  EXPECT_EQ(TAVOCTL_E_FILE, OpenFile(wma, cases[4].path));  // an MP3 is no WMA
  EXPECT_EQ(E_INVALIDARG, wma->Open(nullptr, TAVOCTL_OPEN_READ));
}

}  // namespace
}  // namespace tavo::control
