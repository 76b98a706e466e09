#include "platform/com/error_info.h"

#include <string>

#include "platform/automation/utf.h"
#include "platform/com/com_ptr.h"

namespace tavo {

HRESULT ReportError(HRESULT hr, REFIID iid, std::string_view source, std::string_view description) {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.ReleaseAndGetAddressOf()))) return hr;
  std::u16string source16 = Utf8ToUtf16(source), text16 = Utf8ToUtf16(description);
  create->SetGUID(iid);
  create->SetSource(source16.data());
  create->SetDescription(text16.data());
  ComPtr<IErrorInfo> info;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, info.ReleaseAndGetVoidAddressOf())))
    SetErrorInfo(0, info.Get());
  return hr;
}

}  // namespace tavo
