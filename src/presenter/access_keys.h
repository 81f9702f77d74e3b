// Access keys (Alt+letter) for captions that come without them. The menu
// captions of the language files carry no '&', so the windows give each
// menu title and menu item the first letter that is still free in its
// group; no language file has to be changed to make the menus reachable
// from the keyboard, and a translation can never make two captions of one
// group share a key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hushgate {

// The access key a caption already marks: the letter after a single '&'
// ("&&" is a literal ampersand), folded to lower case; 0 when it marks none.
char16_t MarkedAccessKey(std::u16string_view caption);

// `captions` are one group that shares the keys: the titles of a menu bar,
// or the items of one menu. A caption that marks a key keeps it; every other
// caption gets a '&' before its first letter not yet taken by the group or
// by `taken` (keys other controls of the window hold, e.g. "bu"), letters
// typed without a dead key (unaccented Latin, Greek and Cyrillic) first,
// any other letter after them. A caption without a free letter stays as it
// is. The order of `captions` decides who wins a clash.
std::vector<std::u16string> WithAccessKeys(const std::vector<std::u16string>& captions,
                                           std::u16string_view taken = {});

}  // namespace hushgate
