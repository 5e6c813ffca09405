// The manual page velkarn(6), in roff, made at build time from the option table.
#pragma once

#include <string>
#include <string_view>

// text with roff's special characters escaped: backslashes, hyphens (so that options stay
// copyable), and a '.' or '\'' starting a line.
std::string roffText(std::string_view text);

// The whole page; version goes into its header.
std::string demoManualPage(std::string_view version);
