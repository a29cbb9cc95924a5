// UTF-8 to code page 932 (Shift_JIS as Windows has it): iconv on POSIX, WideCharToMultiByte on Windows.
#pragma once

#include <string>
#include <string_view>

namespace helpc {

// False when some character has no code in code page 932 (or the input is not UTF-8); `out` is then unspecified.
bool ToCodePage932(std::string_view utf8, std::string& out);

}  // namespace helpc
