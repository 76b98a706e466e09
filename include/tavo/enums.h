/* Enumerations that cross the component's boundary: field and operator
 * numbers of playlist criteria, field types, rank orders, match modes,
 * error codes and flag sets. All are 32-bit signed at the interface. */
#ifndef TAVO_ENUMS_H_
#define TAVO_ENUMS_H_

typedef enum txpl_crit_field_type_t {
  txpl_crit_field_type_unknown = 0,
  txpl_crit_field_type_string = 1,
  txpl_crit_field_type_num = 2,
  txpl_crit_field_type_enum = 3,
  txpl_crit_field_type_date = 4
} txpl_crit_field_type_t;

typedef enum txpl_crit_field_t {
  txpl_crit_field_first = 0,
  txpl_crit_field_file_name = 1,
  txpl_crit_field_file_size = 2,
  txpl_crit_field_file_length = 3,
  txpl_crit_field_file_created_date = 4,
  txpl_crit_field_file_modified_date = 5,
  txpl_crit_field_file_lastplayed_date = 6,
  txpl_crit_field_file_bitrate = 7,
  txpl_crit_field_file_codec_format = 8,
  txpl_crit_field_file_drm = 9,
  txpl_crit_field_track_name = 10,
  txpl_crit_field_track_sort_name = 11,
  txpl_crit_field_track_artist_name = 12,
  txpl_crit_field_track_artist_sortname = 13,
  txpl_crit_field_track_releaseyear = 14,
  txpl_crit_field_track_langid = 15,
  txpl_crit_field_track_bpm = 16,
  txpl_crit_field_track_num = 17,
  txpl_crit_field_track_genre = 18,
  txpl_crit_field_track_genrev2 = 19,
  txpl_crit_field_track_mood = 20,
  txpl_crit_field_track_tempoid = 21,
  txpl_crit_field_track_album_pop = 22,
  txpl_crit_field_track_global_pop = 23,
  txpl_crit_field_album_name = 24,
  txpl_crit_field_album_sortname = 25,
  txpl_crit_field_album_primaryartist = 26,
  txpl_crit_field_album_releaseyear = 27,
  txpl_crit_field_album_label = 28,
  txpl_crit_field_album_compilation = 29,
  txpl_crit_field_album_region = 30,
  txpl_crit_field_album_genre = 31,
  txpl_crit_field_album_genrev2 = 32,
  txpl_crit_field_album_pop = 33,
  txpl_crit_field_artist_region = 34,
  txpl_crit_field_artist_era = 35,
  txpl_crit_field_artist_type = 36,
  txpl_crit_field_track_local_pop = 37,
  txpl_crit_field_artist_local_pop = 38,
  txpl_crit_field_track_playcount = 39,
  txpl_crit_field_track_myrating = 40,
  txpl_crit_field_album_myrating = 41,
  txpl_crit_field_artist_myrating = 42,
  txpl_crit_field_genre_myrating = 43,
  txpl_crit_field_playlist_myrating = 44,
  txpl_crit_field_xdev1 = 45,
  txpl_crit_field_xdev2 = 46,
  txpl_crit_field_xdev3 = 47,
  txpl_crit_field_xdev = 48,
  txpl_crit_field_track_rhythmid = 49,
  txpl_crit_field_track_instrumentsid = 50,
  txpl_crit_field_track_vocalsid = 51,
  txpl_crit_field_track_timbreid = 52,
  txpl_crit_field_last = 53
} txpl_crit_field_t;

typedef enum txpl_crit_op_t {
  txpl_crit_op_str_first = 0,
  txpl_crit_op_str_eq = 1,
  txpl_crit_op_str_neq = 2,
  txpl_crit_op_str_cont = 3,
  txpl_crit_op_str_ncont = 4,
  txpl_crit_op_str_sta = 5,
  txpl_crit_op_str_end = 6,
  txpl_crit_op_str_last = 7,
  txpl_crit_op_num_first = 8,
  txpl_crit_op_num_eq = 9,
  txpl_crit_op_num_neq = 10,
  txpl_crit_op_num_lt = 11,
  txpl_crit_op_num_gt = 12,
  txpl_crit_op_num_rang = 13,
  txpl_crit_op_num_last = 14,
  txpl_crit_op_enum_first = 15,
  txpl_crit_op_enum_eq = 16,
  txpl_crit_op_enum_neq = 17,
  txpl_crit_op_enum_sim = 18,
  txpl_crit_op_enum_last = 19,
  txpl_crit_op_date_first = 20,
  txpl_crit_op_date_eq = 21,
  txpl_crit_op_date_neq = 22,
  txpl_crit_op_date_lt = 23,
  txpl_crit_op_date_gt = 24,
  txpl_crit_op_date_rang = 25,
  txpl_crit_op_date_inlast = 26,
  txpl_crit_op_date_notinlast = 27,
  txpl_crit_op_date_last = 28,
  txpl_crit_op_enum_rang = 29,
  txpl_crit_op_last = 30
} txpl_crit_op_t;

typedef enum txpl_rank_order_t {
  txpl_rank_order_ascending = 0x100000,
  txpl_rank_order_descending = 0x200000
} txpl_rank_order_t;

typedef enum txpl_criteria_matchmode_t {
  txpl_matchmode_match_any = 0,
  txpl_matchmode_match_all = 1
} txpl_criteria_matchmode_t;

typedef enum txpl_crit_param_num_t {
  txpl_crit_param_1 = 0,
  txpl_crit_param_2 = 1,
  txpl_crit_param_3 = 2
} txpl_crit_param_num_t;

typedef enum txpl_user_info_t {
  txpl_user_rating_first = 0,
  txpl_user_rating_highest = 1,
  txpl_user_rating_favorite = 2,
  txpl_user_rating_lowest = 3,
  txpl_user_rating_good = 4,
  txpl_user_play_never = 5,
  txpl_user_play_recent = 6,
  txpl_user_play_last_30_days = 7,
  txpl_user_play_last_week = 8,
  txpl_user_play_last_day = 9,
  txpl_user_info_last = 10
} txpl_user_info_t;

typedef enum txpl_stats_getdate_enum {
  txpl_stats_lastplaydate = 1,
  txpl_stats_lastupdateddate = 2,
  txpl_stats_createddate = 3
} txpl_stats_getdate_enum;

/* HRESULTs of the component (facility 0x300). */
typedef enum TavoPlaylistErrors {
  ERR_PL_DomainPlaylist = 0x300,
  ERR_PL_TAVOControlVersion = (int)0xC3000100,
  ERR_PL_DB_Corrupt = (int)0xC3000101,
  ERR_PL_DB_IndexCorrupt = (int)0xC3000102,
  ERR_PL_DB_BothCorrupt = (int)0xC3000103,
  ERR_PL_Initialized = (int)0xC3000104,
  ERR_PL_NotInitialized = (int)0xC3000105,
  ERR_PL_NotShutdown = (int)0xC3000106
} TavoPlaylistErrors;

typedef enum TavoPlaylistUpdateFlags {
  TAVO_UPDATE_NONE = 0,
  TAVO_UPDATE_STANDARD = 1,
  TAVO_UPDATE_POP = 2,
  TAVO_UPDATE_EXTENDED = 4,
  TAVO_UPDATE_ALL = 8,
  TAVO_UPDATE_UNPOPULATED = 16
} TavoPlaylistUpdateFlags;

typedef enum TavoPlaylistMLDBFlags {
  PL_MLDB_FLAGS_ZERO = 0,
  PL_MLDB_CHECK_BASE = 0x1,
  PL_MLDB_CHECK_INDEX = 0x2,
  PL_MLDB_CHECK_DEEP = 0x4,
  PL_MLDB_CHECK_DEFAULT = 0x7,
  PL_MLDB_CLEAR_INIT_FLAG = 0x10,
  PL_MLDB_SET_INIT_FLAG = 0x20,
  PL_MLDB_BACKUP_BASE = 0x100,
  PL_MLDB_BACKUP_INDEX = 0x200,
  PL_MLDB_RESTORE_BASE = 0x400,
  PL_MLDB_RESTORE_INDEX = 0x800,
  PL_MLDB_DELETE_INDEX = 0x1000,
  PL_MLDB_DELETE_BASE = 0x2000,
  PL_MLDB_DELETE_BACKUPS = 0x4000,
  PL_MLDB_DELETE_OTHER = 0x8000,
  PL_MLDB_AUTO_REINDEX = 0x10000,
  PL_MLDB_AUTO_BACKUP = 0x20000,
  PL_MLDB_AUTO_MANAGE_INIT_FLAG = 0x40000,
  PL_MLDB_AUTO_CHECK_IF_INIT_SET = 0x80000,
  PL_MLDB_AUTO_CHECK_AT_INIT = 0x100000,
  PL_MLDB_AUTO_DEFAULT = 0xC0000,
  PL_MLDB_AUTO_MASK = 0xFF0000
} TavoPlaylistMLDBFlags;

#endif /* TAVO_ENUMS_H_ */
