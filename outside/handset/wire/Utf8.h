// UTF-8 <-> UTF-16 for names on the wire.
#pragma once
#include <string>

namespace handset::wire {

std::string ToUtf8(const std::wstring& text);
// Invalid sequences become U+FFFD.
std::wstring FromUtf8(const std::string& text);

}  // namespace handset::wire
