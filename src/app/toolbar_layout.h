#pragma once

#include <string>
#include <vector>

#include "app/app_window_port.h"
#include "config/store_support.h"

namespace ormel {

/// The layout version toolbars.ini is written with and the only one it is read with.
inline constexpr int kToolbarLayoutRev = 2000;

/// Writes one section per toolbar, named after it, with the keys "Rev", "Visible", "DockedTo",
/// "LastDock", "DockRow", "DockPos", "FloatLeft", "FloatTop", "FloatRightX", "DisplayMode" in this
/// order. Throws EFCreateError naming the file and the reason; the old file is then untouched.
void writeToolbarLayout(const std::string& fileName, const std::vector<ToolbarPlace>& places);

/// Applies toolbars.ini to the window's toolbars. A section whose "Rev" is missing or not 2000
/// is ignored and that toolbar keeps its place; otherwise "Visible" is applied (when present),
/// then a non-empty "DockedTo" floats ("+") or docks the toolbar at the stored place. A missing
/// file changes nothing. Lines that are neither sections, keys, blank nor comments, and numbers
/// that do not convert, are noted: such a file is not a layout to write over.
void applyToolbarLayout(const std::string& fileName, AppWindow& window, LoadNotes* notes = nullptr);

}  // namespace ormel
