// The product's identity, used by the banner, list headers and the log.
#pragma once

inline constexpr const char* ProductName = "Tallix";
inline constexpr const char* ProductWebAddress = "https://tallix.org";
// The banner: the version and the web address fill its two placeholders.
inline constexpr const char* BannerFormat =
    "MD5 Checksum calculation and verification utility. [%s] EN Beta\r\n"
    "Written by the Tallix developers. Updates and help: %s\r\n";
