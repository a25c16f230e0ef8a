// SPDX-License-Identifier: MIT
#include "english_texts.h"

#include "menu/alfred_tip.h"

namespace velmora::program {

std::map<std::string, std::string> englishTextsOfOwnKeys() {
    return {
        {kAlfredTipKey,
         "Tip:\n        Switching input sources for Alfred works only when Alfred is set, in its "
         "own preferences, to open with a double press of a modifier key!"},
        {kAlfredTipButtonKey, "OK"},
    };
}

} // namespace velmora::program
