#include "codepage.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <vector>

namespace helpc {

#ifdef _WIN32
bool ToCodePage932(std::string_view utf8, std::string& out) {
    out.clear();
    if (utf8.empty()) {
        return true;
    }
    const int length = static_cast<int>(utf8.size());
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (wide <= 0) {
        return false;
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(wide));
    (void)MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, buffer.data(), wide);
    BOOL lossy = FALSE;
    const int bytes = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, buffer.data(), wide, nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) {
        return false;
    }
    out.resize(static_cast<size_t>(bytes));
    lossy = FALSE;
    (void)WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, buffer.data(), wide, out.data(), bytes, nullptr, &lossy);
    return !lossy;
}
#else
bool ToCodePage932(std::string_view utf8, std::string& out) {
    out.clear();
    // Opening a converter loads its tables: one for the whole run.
    static const iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    (void)iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
    std::string input(utf8);
    std::vector<char> buffer(input.size() * 2 + 16);
    char* in = input.data();
    size_t inLeft = input.size();
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    const size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    if (result == static_cast<size_t>(-1) || inLeft != 0) {
        return false;
    }
    out.assign(buffer.data(), buffer.size() - outLeft);
    return true;
}
#endif

}  // namespace helpc
