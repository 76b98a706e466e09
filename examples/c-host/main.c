/* A small host in C: it registers the component and the control in the
 * registry, creates both by class identifier, opens a database folder and
 * prints the manager's version, the eras and the sample presets.
 *
 *   tavo-c-host DBDIR      (DBDIR must exist; the database is made in it)
 *
 * Built against the installed package through pkg-config. */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tavo/control.h"
#include "tavo/tavo.h"

/* An automation string from ASCII text (enough for this example's paths). */
static BSTR Ascii(const char* text) {
  size_t n = strlen(text);
  OLECHAR* wide = calloc(n + 1, sizeof(OLECHAR));
  for (size_t i = 0; i < n; ++i) wide[i] = (OLECHAR)(unsigned char)text[i];
  BSTR s = SysAllocString(wide);
  free(wide);
  return s;
}

static void PrintText(const char* label, BSTR s) {
  printf("%s", label);
  for (UINT i = 0; i < SysStringLen(s); ++i) putchar(s[i] < 128 ? (char)s[i] : '?');
  putchar('\n');
}

/* Runs a module's DllRegisterServer. */
static int Register(const char* module) {
  void* handle = dlopen(module, RTLD_NOW | RTLD_LOCAL);
  HRESULT (*register_server)(void) = handle ? (HRESULT(*)(void))dlsym(handle, "DllRegisterServer") : NULL;
  if (register_server == NULL || FAILED(register_server())) {
    fprintf(stderr, "c-host: cannot register %s\n", module);
    return 0;
  }
  return 1;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: tavo-c-host DBDIR\n");
    return 2;
  }
  if (!Register(TAVO_MODULE) || !Register(TAVO_CONTROL)) return 1;

  ITAVOControl* control = NULL;
  ITavoPlaylist2Mgr* manager = NULL;
  if (FAILED(CoCreateInstance(&CLSID_TAVOControl, NULL, CLSCTX_INPROC_SERVER, &IID_ITAVOControl, (void**)&control)) ||
      FAILED(CoCreateInstance(&CLSID_TavoPeltaPlaylist2Mgr, NULL, CLSCTX_INPROC_SERVER, &IID_ITavoPlaylist2Mgr,
                              (void**)&manager))) {
    fprintf(stderr, "c-host: cannot create the control and the manager\n");
    return 1;
  }
  BSTR catalog = Ascii(TAVO_CATALOG_DIR);
  control->lpVtbl->put_CatalogPath(control, catalog);
  SysFreeString(catalog);

  /* The manager appends file names to the folder as given. */
  char folder[4096];
  snprintf(folder, sizeof folder, "%s/", argv[1]);
  BSTR db = Ascii(folder);
  HRESULT hr = manager->lpVtbl->Initialize(manager, (IDispatch*)control, db);
  SysFreeString(db);
  if (hr != S_OK) {
    fprintf(stderr, "c-host: Initialize failed: 0x%08X\n", (unsigned)hr);
    return 1;
  }

  BSTR version = NULL;
  if (SUCCEEDED(manager->lpVtbl->get_Version(manager, &version))) PrintText("version: ", version);
  SysFreeString(version);

  ITavoEraDisplayList* eras = NULL;
  if (SUCCEEDED(manager->lpVtbl->GetEraDisplayList(manager, 0, &eras)) && eras) {
    LONG count = 0;
    eras->lpVtbl->get_Count(eras, &count);
    printf("eras: %d\n", (int)count);
    eras->lpVtbl->Release(eras);
  }

  ITavoPLGeneratorList* presets = NULL;
  if (SUCCEEDED(manager->lpVtbl->GetPresetPlaylistGenList(manager, &presets)) && presets) {
    SHORT count = 0;
    presets->lpVtbl->get_Count(presets, &count);
    for (LONG i = 0; i < count; ++i) { /* generator lists count from 0 */
      ITavoPLGenerator* generator = NULL;
      BSTR name = NULL;
      if (FAILED(presets->lpVtbl->GetPLGenerator(presets, i, &generator))) continue;
      if (SUCCEEDED(generator->lpVtbl->get_Name(generator, &name))) PrintText("preset: ", name);
      SysFreeString(name);
      generator->lpVtbl->Release(generator);
    }
    presets->lpVtbl->Release(presets);
  }

  manager->lpVtbl->Shutdown(manager);
  manager->lpVtbl->Release(manager);
  control->lpVtbl->Release(control);
  return 0;
}
