#include "status.h"

#include <cstdio>

namespace tavo::tool {
namespace {

struct KnownStatus {
  HRESULT hr;
  const char* text;
  ExitCode exit;
};

constexpr KnownStatus kKnown[] = {
    {E_NOTIMPL, "not implemented by this build of the component", kExitNotAvailable},
    {E_INVALIDARG, "bad argument", kExitFailed},
    {E_POINTER, "missing out-pointer", kExitFailed},
    {E_FAIL, "failed", kExitFailed},
    {E_UNEXPECTED, "no database open", kExitNoDatabase},
    {E_ACCESSDENIED, "the database is busy (write lock held elsewhere)", kExitFailed},
    {E_ABORT, "stopped", kExitFailed},
    {E_OUTOFMEMORY, "out of memory", kExitFailed},
    {static_cast<HRESULT>(ERR_PL_TAVOControlVersion), "the control is missing or too old", kExitFailed},
    {static_cast<HRESULT>(ERR_PL_DB_Corrupt), "the record file is damaged", kExitDamagedDatabase},
    {static_cast<HRESULT>(ERR_PL_DB_IndexCorrupt), "the index file is damaged", kExitDamagedDatabase},
    {static_cast<HRESULT>(ERR_PL_DB_BothCorrupt), "the record and index files are damaged", kExitDamagedDatabase},
    {static_cast<HRESULT>(ERR_PL_Initialized), "the manager is already initialized", kExitFailed},
};

const KnownStatus* Find(HRESULT hr) {
  for (const KnownStatus& k : kKnown)
    if (k.hr == hr) return &k;
  return nullptr;
}

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

}  // namespace

std::string StatusText(HRESULT hr) {
  const KnownStatus* k = Find(hr);
  return k ? std::string(k->text) + " (" + Hex(hr) + ")" : Hex(hr);
}

HRESULT Check(HRESULT hr, const std::string& what) {
  if (SUCCEEDED(hr)) return hr;
  const KnownStatus* k = Find(hr);
  Stop(k ? k->exit : kExitFailed, what + ": " + StatusText(hr));
}

}  // namespace tavo::tool
