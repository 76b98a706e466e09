// TavoPeltaPlaylist2Mgr: the manager object, the one object a host talks to
// for everything that touches its media library. It adapts a MediaLibrary
// (manager/library/media_library.h), which holds the state; this class
// converts arguments and statuses, keeps the control's interfaces and the
// automation objects it hands out again (the list objects and the two
// generator lists), and fires DPlaylist2Events through its connection point.
//
// Where the members are, one group per file:
//   mgr_lifecycle.cc      Initialize, Shutdown, Version, DirDelim, the
//                         container and error-information members
//   mgr_lists.cc          the descriptor-list members, GetPLDataList
//   mgr_presets.cc        the generator lists: presets and user generators
//   mgr_correlates.cc     DownloadCorrelates
//   mgr_file_data.cc      GetFileData
//   mgr_engine.cc         the playlist runs (CreateDynPlaylist, ...)
//   mgr_ingestion.cc      adding, refreshing and removing files
//   mgr_statistics.cc     plays, ratings, dates and field values
//   mgr_search.cc         FindOpen, FindNext, FindClose
//   mgr_not_implemented.cc the classic-criteria members that answer E_NOTIMPL
//
// Thread safety: hosts call the manager from a UI thread and a worker; every
// member may be called from any thread. The MediaLibrary serializes what it
// holds; this class guards its own members with short locks and calls out
// (events, the control, its own interface) holding none of them.
#ifndef TAVO_MANAGER_COM_PLAYLIST2_MGR_H_
#define TAVO_MANAGER_COM_PLAYLIST2_MGR_H_

#include <memory>
#include <mutex>
#include <string>

#include "generation/objects/pl_generator_list.h"
#include "manager/com/own_manager.h"
#include "manager/library/media_library.h"
#include "platform/com/connection_point.h"
#include "platform/com/object.h"
#include "tavo/control.h"
#include "tavo/tavo.h"

namespace tavo {

inline constexpr std::string_view kManagerVersion = "TavoPlaylist 2.4.0.13";
// Initialize's answer for a path that is not a usable directory: a plain
// value, not a failure code.
inline constexpr HRESULT kNotADirectory = 2;

class TavoPeltaPlaylist2Mgr
    : public ComObject<TavoPeltaPlaylist2Mgr, ITavoPlaylist2Mgr, IConnectionPointContainer, ISupportErrorInfo,
                       ITavoOwnPlaylist2Mgr> {
 public:
  using OwnInterface = ITavoOwnPlaylist2Mgr;

  TavoPeltaPlaylist2Mgr();
  ~TavoPeltaPlaylist2Mgr();
  HRESULT FinalConstruct();

  // Every member of ITavoPlaylist2Mgr, declared from its description.
#define TAVO_MANAGER_MEMBER(T, id, kind, Method, rv, ...) \
  HRESULT STDMETHODCALLTYPE Method(TAVO_PARAMS(__VA_ARGS__)) override;
  TAVO_OWN_ITavoPlaylist2Mgr(TAVO_MANAGER_MEMBER, ITavoPlaylist2Mgr)
#undef TAVO_MANAGER_MEMBER

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  // S_OK for ITavoPlaylist2Mgr, S_FALSE for any other interface.
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  // The internal entries of the maintenance object (TavoMLDBManager).
  const std::shared_ptr<MediaLibrary>& library() const { return library_; }

 private:
  // The list object of `kind`, made once and cached; a list that a reload
  // replaced gets a new object (the old one keeps its list).
  HRESULT ListObject(DescriptorKind kind, ComPtr<ITavoPLDataList>* object);
  // The list object of `kind` as interface I, for the host.
  template <class I>
  HRESULT HandOutList(DescriptorKind kind, I** list);
  // The genre display list object, or null when there is none.
  ComPtr<ITavoGenreDisplayList> GenreDisplayObject();
  // Releases the list and generator objects handed out again.
  void ReleaseCachedObjects();
  ComPtr<ITAVOService> service() const;

  const std::shared_ptr<MediaLibrary> library_;
  ConnectionPoints points_;

  mutable std::mutex controls_mutex_;
  ComPtr<IDispatch> control_;          // guarded by controls_mutex_
  ComPtr<ITAVOControlEx> extended_;    // guarded by controls_mutex_
  ComPtr<ITAVOService> service_;       // guarded by controls_mutex_
  std::string db_path_;                // guarded by controls_mutex_; kept after Shutdown

  // A list object with the list it was made of, to see that a reload
  // replaced the list.
  struct CachedList {
    DescriptorListPtr list;
    ComPtr<ITavoPLDataList> object;
  };
  std::mutex objects_mutex_;
  CachedList list_objects_[kDescriptorKindCount];              // guarded by objects_mutex_
  ComPtr<TavoPLGeneratorList> preset_list_;                     // guarded by objects_mutex_
  ComPtr<TavoPLGeneratorList> user_list_;                       // guarded by objects_mutex_
  // Loading and saving the user generators, one at a time: a save reads the
  // list's chain and gives the list its genre display list.
  std::mutex presets_mutex_;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_COM_PLAYLIST2_MGR_H_
