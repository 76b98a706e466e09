/* The vtable slots that callers of the control rely on, checked on the C
 * declarations (a slot is its offset in the vtable divided by the size of a
 * function pointer; IUnknown's and IDispatch's seven slots come first). */
#include <stddef.h>

#include "tavo/control.h"

#define SLOT(I, member) (offsetof(I##Vtbl, member) / sizeof(void*))
#define PIN(I, member, n) _Static_assert(SLOT(I, member) == n, #I "::" #member " is slot " #n)

PIN(ITAVOControl, get_Version, 7);
PIN(ITAVOControlEx, GetService, 65);
PIN(ITAVOService, GetCorrelates0, 7);
PIN(ITAVOService, GetEraList, 10);
PIN(ITAVOService, GetOriginList, 11);
PIN(ITAVOService, GetArtistTypeList, 12);
PIN(ITAVOService, GetGenreList, 15);
PIN(ITAVOService, GetGenreFamilyList, 16);
PIN(ITAVOService, GetCorrelates2, 19);
PIN(ITAVOService, GetCorrelates1, 20);
PIN(ITAVOService, GetNamedList, 21);
PIN(ITAVOService, GetPopularityRangeList, 22);
PIN(ITAVOService, Lookup, 23);
PIN(ITAVOCorrelateList, get_Count, 7);
PIN(ITAVOCorrelateList, GetEntry, 8);
PIN(ITAVOCorrelateList, get_RevisionLevel, 10);
PIN(ITAVOCorrelateList, get_RevisionTag, 11);
PIN(ITAVOCorrelateList, get_ScaleMax, 12);
PIN(ITAVOCorrelateList, get_ScaleMin, 13);
PIN(ITAVOCorrelateEntry, get_GenreID, 7);
PIN(ITAVOCorrelateEntry, get_Related, 9);
PIN(ITAVORelatedList, get_Count, 7);
PIN(ITAVORelatedList, GetItem, 8);
PIN(ITAVORelatedItem, get_GenreID, 7);
PIN(ITAVORelatedItem, get_Weight, 9);
PIN(ITAVOMP3Reader, Open, 37);
PIN(ITAVOWMAReader, Open, 37);
PIN(ITAVOTag, get_Album, 7);
PIN(ITAVOTag, get_Title, 11);
PIN(ITAVOTag, get_Label, 19);
PIN(ITAVOTag, get_Artist, 23);
PIN(ITAVOTag, get_TrackNumber, 27);
PIN(ITAVOTag, get_Year, 29);
PIN(ITAVOTag, get_GenreText, 31);
PIN(ITAVOTag, get_TagID, 33);
PIN(ITAVOTag, put_TagID, 34);
PIN(ITAVOTag, GetFrameText, 45);
PIN(ITAVODiscData, put_Title, 10);
PIN(ITAVODiscData, put_Artist, 12);
PIN(ITAVODiscData, put_Year, 16);
PIN(ITAVODiscData, SetTrack, 19);
PIN(ITAVODiscData, put_TrackNumber, 76);
PIN(ITAVODiscData, GetExtended, 77);
PIN(ITAVODiscData, SetExtended, 78);

int main(void) { return 0; }
