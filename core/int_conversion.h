// The integer conversion numeric settings entries go through.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rivo {

// Leading spaces (0x20 only), an optional sign, then decimal digits or hexadecimal digits after
// "$", "x", "X", "0x" or "0X" (at most 8, wrapping at 32 bits). Nothing may follow the digits.
// Returns nullopt for anything else, including a decimal value outside the 32-bit range.
std::optional<std::int32_t> ParseFrameworkInt(std::string_view text);

}  // namespace rivo
