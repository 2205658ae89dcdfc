// The system DLLs that the window does not need in order to appear: the device list (setupapi),
// the shell (shell32), the Internet check and the page fetches (wininet), the download (urlmon,
// ole32) and the screen-reader objects (oleacc, oleaut32). Each is loaded from the system folder
// at the first call of one of its functions, not at process start, so the window shows without
// loading them and what they pull in. Loading them by full path also keeps a DLL of the same name
// beside the program (or in the current folder) from being loaded into a wizard that runs with
// administrator rights.
//
// A call site names the function as the system headers declare it and gets a typed pointer, or
// null when the DLL or the function cannot be found (the caller then fails as the function would):
//
//   auto* open = REVIVIX_SYSTEM_FUNCTION(WinInet, InternetOpenW);
//   HINTERNET session = open ? open(agent, ...) : nullptr;
//
// or, in one step, CallOr(REVIVIX_SYSTEM_FUNCTION(WinInet, InternetOpenW), HINTERNET{}, agent, ...).
//
// The program never names these functions directly, so its import table does not list their DLLs.
#pragma once

#include <windows.h>

namespace revivix::win32 {

enum class SystemLibrary { SetupApi, Shell32, WinInet, UrlMon, Ole32, OleAut32, OleAcc, Count };

// The file name of `library` in the system folder ("wininet.dll").
const wchar_t* SystemLibraryName(SystemLibrary library);

// The address of `name` in `library`, loading the library on first use; null when either is
// missing. Safe from any thread; a loaded library stays loaded.
FARPROC SystemProcedure(SystemLibrary library, const char* name);

// True once `library` has been loaded by SystemProcedure.
bool SystemLibraryLoaded(SystemLibrary library);

template <typename Function>
Function* SystemFunction(SystemLibrary library, const char* name) {
  // The cast between function pointer types is how a procedure address is given its type.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
#endif
  return reinterpret_cast<Function*>(SystemProcedure(library, name));
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

// Calls `function` with `arguments`, or gives `failure` when it could not be found: the result a
// call site returns when the library is missing.
template <typename Function, typename Result, typename... Arguments>
Result CallOr(Function* function, Result failure, Arguments... arguments) {
  return function ? function(arguments...) : failure;
}

}  // namespace revivix::win32

// The function `name` of the system library `library` (an enumerator of SystemLibrary), typed as
// its declaration in the system headers; looked up once per call site.
#define REVIVIX_SYSTEM_FUNCTION(library, name)                                                    \
  ([]() -> decltype(::name)* {                                                                    \
    static decltype(::name)* const function = ::revivix::win32::SystemFunction<decltype(::name)>( \
        ::revivix::win32::SystemLibrary::library, #name);                                         \
    return function;                                                                              \
  }())
