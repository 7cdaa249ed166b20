#pragma once

namespace mh {

// The application title: the main window's caption and every message box's caption (UTF-8).
inline constexpr const char* kAppTitle = "Moonhaven(Stonelark)2.2版";

}  // namespace mh
