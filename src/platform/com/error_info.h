// Error information for the host: a method that fails sets a description of
// the failure on the calling thread (SetErrorInfo) and returns its status;
// the object answers ISupportErrorInfo for the interface.
#ifndef TAVO_PLATFORM_COM_ERROR_INFO_H_
#define TAVO_PLATFORM_COM_ERROR_INFO_H_

#include <string_view>

#include "tavo/automation.h"

namespace tavo {

// Sets the thread's error information (source, UTF-8 description, the
// interface that failed) and returns `hr`, so a method can end with
// `return ReportError(...)`.
HRESULT ReportError(HRESULT hr, REFIID iid, std::string_view source, std::string_view description);

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_ERROR_INFO_H_
