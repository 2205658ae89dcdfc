// How the program's WinINet requests are made: the page fetches and the Internet check's request.
#pragma once

#include <windows.h>
#include <wininet.h>

namespace revivix::win32 {

// Always from the network with nothing written to the cache, no cookies, and never a dialog: a
// problem (a certificate that does not verify, a proxy that wants a password) is the request's
// failure. A redirect from http to https is followed like any other; the https server's
// certificate is then checked as on every https request. No flag that ignores a certificate
// problem is ever set (INTERNET_FLAG_IGNORE_CERT_*, SECURITY_FLAG_IGNORE_*), nor the one that
// lets a redirect fall back from https to http.
inline constexpr DWORD kWinInetRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
    INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;

}  // namespace revivix::win32
