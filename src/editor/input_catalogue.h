// SPDX-License-Identifier: MIT
#pragma once
// The input source catalogue: the enabled keyboard input sources the user can select, with
// their names and icons.

#include "editor/editor_lists.h"
#include "platform/images.h"
#include "platform/text_input_sources.h"

#include <cstddef>
#include <string>

namespace velmora {

// Replaces the three catalogue lists of LISTS: one entry per enabled input source of the
// keyboard category that can be selected, in the system's order. A source without an ID
// cannot be chosen and is left out. Its icon comes from its icon reference, else from its
// icon file; nullptr when neither gives one.
void rebuildInputCatalogue(EditorLists& lists, InputSources& inputSources, Images& images);

// What to call input source ID, enabled or not: the name the system gives it among all
// installed sources, else ID itself; at most kLongestSourceName bytes (whole characters).
inline constexpr std::size_t kLongestSourceName = 80;
std::string nameOfInputSource(InputSources& inputSources, const std::string& id);

} // namespace velmora
