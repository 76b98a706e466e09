// The manager's automation classes, for the class table.
#ifndef TAVO_MANAGER_COM_MANAGER_CLASSES_H_
#define TAVO_MANAGER_COM_MANAGER_CLASSES_H_

#include "manager/com/find_data.h"
#include "manager/com/mldb_manager.h"
#include "manager/com/playlist2_mgr.h"

#endif  // TAVO_MANAGER_COM_MANAGER_CLASSES_H_
