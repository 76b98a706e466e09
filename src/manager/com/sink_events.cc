#include "manager/com/sink_events.h"

#include "platform/automation/utf.h"

namespace tavo {
namespace {

VARIANT FlagByReference(int32_t* flag) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_I4;
  v.plVal = flag;
  return v;
}

VARIANT Number(int32_t value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

// A file name argument; Clear frees it after the event.
VARIANT FileName(std::string_view file_name) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = BstrFromUtf8(file_name);
  return v;
}

}  // namespace

void SinkEvents::FirePre(DISPID id, std::string_view file_name, int32_t* add_ok, int32_t* go_on) {
  VARIANT args[3] = {FlagByReference(go_on), FlagByReference(add_ok), FileName(file_name)};
  point_->Fire(id, args, 3);
  VariantClear(&args[2]);
}

void SinkEvents::FireFile(DISPID id, std::string_view file_name) {
  VARIANT args[1] = {FileName(file_name)};
  point_->Fire(id, args, 1);
  VariantClear(&args[0]);
}

void SinkEvents::PreAddFile(std::string_view file_name, int32_t* add_ok, int32_t* go_on) {
  FirePre(DISPID_DPlaylist2Events_PreAddFile, file_name, add_ok, go_on);
}

void SinkEvents::PostAddFile(std::string_view file_name) { FireFile(DISPID_DPlaylist2Events_PostAddFile, file_name); }

void SinkEvents::PreUpdateFile(std::string_view file_name, int32_t* add_ok, int32_t* go_on) {
  FirePre(DISPID_DPlaylist2Events_PreUpdateFile, file_name, add_ok, go_on);
}

void SinkEvents::PostUpdateFile(std::string_view file_name) {
  FireFile(DISPID_DPlaylist2Events_PostUpdateFile, file_name);
}

void SinkEvents::RebuildIndexProgress(int32_t count, int32_t total, int32_t* abort) {
  VARIANT args[3] = {FlagByReference(abort), Number(total), Number(count)};
  point_->Fire(DISPID_DPlaylist2Events_RebuildIndexProgress, args, 3);
}

}  // namespace tavo
