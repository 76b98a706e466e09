#include "platform/com/guard.h"

#include <exception>
#include <new>

#include "platform/com/error_info.h"

namespace tavo {
namespace {

HRESULT Failure(REFIID iid, const char* where, const char* what) noexcept {
  try {
    return ReportError(E_FAIL, iid, where, what);
  } catch (...) {
    return E_FAIL;  // the description could not be made: the status alone
  }
}

}  // namespace

HRESULT StatusOfCurrentException(REFIID iid, const char* where) noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    return Failure(iid, where, e.what());
  } catch (...) {
    return Failure(iid, where, "unknown exception");
  }
}

}  // namespace tavo
