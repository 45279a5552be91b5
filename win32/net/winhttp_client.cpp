#include "win32/net/winhttp_client.h"

#include <string>

#include "win32/base/ansi.h"
#include "win32/net/winhttp_handle.h"

namespace zc::win {
namespace {

// What a WinHTTP error code means, for the user's error report.
const char16_t* Meaning(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return u"the server refused the connection or cannot be reached";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return u"the server name could not be resolved";
    case ERROR_WINHTTP_TIMEOUT:
      return u"the operation timed out";
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return u"the connection was reset or closed";
    case ERROR_WINHTTP_INVALID_URL:
      return u"the address is not valid";
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      return u"the address is neither http nor https";
    case ERROR_WINHTTP_SECURE_FAILURE:
      return u"the secure connection could not be established";
    case ERROR_NOT_ENOUGH_MEMORY:
      return u"not enough memory";
    default:
      return u"";
  }
}

HttpResponse Failed(const char16_t* step, DWORD error) {
  HttpResponse response;
  response.error = Text(step) + u" failed (error " + DecimalText(error) + u")";
  if (const char16_t* meaning = Meaning(error); *meaning != u'\0') response.error += Text(u": ") + meaning;
  return response;
}

HttpResponse Failed(const char16_t* step) { return Failed(step, ::GetLastError()); }

}  // namespace

HINTERNET OpenSessionWithSystemProxy(WinHttpOpenFunction open) {
  // The access type's number, from the SDK of Windows 8.1 (older headers lack the name).
  constexpr DWORD kAutomaticProxy = 4;
  HINTERNET session = open(nullptr, kAutomaticProxy, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (session || ::GetLastError() != ERROR_INVALID_PARAMETER) return session;
  return open(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
}

HINTERNET OpenSession(WinHttpOpenFunction open, TextView namedProxy) {
  if (namedProxy.empty()) return OpenSessionWithSystemProxy(open);
  const std::wstring proxy = ToWide(namedProxy);
  return open(nullptr, WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.c_str(), WINHTTP_NO_PROXY_BYPASS, 0);
}

HttpResponse WinHttpClient::Get(TextView url) {
  const std::wstring address = ToWide(url);

  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (address.empty() || !::WinHttpCrackUrl(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts))
    return Failed(u"WinHttpCrackUrl", address.empty() ? ERROR_WINHTTP_INVALID_URL : ::GetLastError());
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
    return Failed(u"WinHttpCrackUrl", ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
  if (parts.dwHostNameLength == 0) return Failed(u"WinHttpCrackUrl", ERROR_WINHTTP_INVALID_URL);
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  // The path and the query go to the server together; an empty path is the root.
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  UniqueInternet session(OpenSession(&::WinHttpOpen, namedProxy_));
  if (!session) return Failed(u"WinHttpOpen");
  UniqueInternet connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) return Failed(u"WinHttpConnect");
  const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  UniqueInternet request(::WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                              WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (!request) return Failed(u"WinHttpOpenRequest");
  if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
    return Failed(u"WinHttpSendRequest");
  if (!::WinHttpReceiveResponse(request.get(), nullptr)) return Failed(u"WinHttpReceiveResponse");
  DWORD status = 0;
  DWORD statusSize = sizeof(status);
  if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX))
    return Failed(u"WinHttpQueryHeaders");

  std::string bytes;
  for (;;) {
    DWORD available = 0;
    if (!::WinHttpQueryDataAvailable(request.get(), &available)) return Failed(u"WinHttpQueryDataAvailable");
    if (available == 0) break;
    if (bytes.size() + available > kMaxBodyBytes) {
      HttpResponse response;
      response.sent = true;
      response.status = static_cast<int>(status);
      response.bodyTooLong = true;
      response.error = u"the answer is longer than " + DecimalText(kMaxBodyBytes >> 20) + u" MiB";
      return response;
    }
    const size_t offset = bytes.size();
    bytes.resize(offset + available);
    DWORD read = 0;
    if (!::WinHttpReadData(request.get(), bytes.data() + offset, available, &read)) return Failed(u"WinHttpReadData");
    bytes.resize(offset + read);
    if (read == 0) break;
  }

  HttpResponse response;
  response.sent = true;
  response.status = static_cast<int>(status);
  response.body = FromAnsi(bytes);
  response.bytes = std::move(bytes);
  return response;
}

}  // namespace zc::win
