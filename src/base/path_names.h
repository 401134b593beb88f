#pragma once

// Taking paths apart and putting them together. Paths are texts of the system code page,
// searched with their multibyte characters in mind (a Shift_JIS trail byte can equal "\").

#include <string>
#include <string_view>

namespace rendlow {

// A path without its file name's extension. The file name is what follows the last "\" or "/";
// its extension starts at its last dot. When that dot is the file name's first byte, or there is
// none, the stem is the whole path: "C:\a\song.mid" gives "C:\a\song", "C:\my.dir\song" and
// ".hidden" stay as they are.
std::string_view pathStem(std::string_view path);

// The folder a path lies in, with its last separator ("dir/" for "dir/song.txt"); empty for a
// bare file name.
std::string_view folderOf(std::string_view path);

// The file name of a path: what follows its folder ("song.txt" for "dir/song.txt").
std::string_view fileNameOf(std::string_view path);

// `name` inside `folder`, with the platform's separator unless the folder ends in one; `name`
// alone for an empty folder.
std::string pathIn(const std::string& folder, const std::string& name);

// Whether `name` can start the name of a file in a folder without leading out of it or being
// refused by any system the files travel to: not empty, holding none of / \ : * ? " < > | and
// no control character (below 0x20, and 0x7F), and not made only of dots ("." and ".." name
// folders). Scanned as multibyte text: a trail byte that equals "\" or "|" is part of its
// character, while a lead byte followed by a byte that cannot end a character starts none.
bool isSafeFileName(std::string_view name);

}  // namespace rendlow
