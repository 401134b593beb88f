#pragma once

#include <string>

// The few services that differ between Windows and other systems. Each has a Windows
// implementation (platform_win32.cpp) and a portable one (platform_portable.cpp); nothing else
// in the engine touches the operating system directly.
namespace rendlow {

// True when `byte` starts a two-byte character of the program's texts: Shift_JIS (code page 932)
// on Windows, whatever code page the system runs under. Always false where texts are UTF-8: no
// byte of a UTF-8 sequence can be mistaken for an ASCII character.
bool isLeadByte(unsigned char byte);

// The separator this system puts between a folder and a name: "\" on Windows, "/" elsewhere.
char pathSeparator();

// Moves `from` over `to`, replacing `to` if it exists, as one step of the file system. On failure
// errno says why.
bool replaceFile(const std::string& from, const std::string& to);

// Deletes the file at `path`, however long the path: whatever could make a file there can take it
// away. False when nothing was deleted.
bool removeFile(const std::string& path);

// The file a path finally names: a symbolic link's target, link after link, so an output written
// through a link replaces the file it points to and the link stays. The path itself when it is not
// a link.
std::string linkTarget(const std::string& path);

// What stands where an output would be written, links followed: nothing yet, a regular file its
// owner may write, a regular file its owner may not (whoever runs the program), or something that
// is not a regular file at all (a folder, a device, a pipe).
enum class OutputSpot { Free, WritableFile, ReadOnlyFile, NotAFile };
OutputSpot outputSpot(const std::string& path);

// True when both paths name one existing file: by the file system's identity of the file, not
// by spelling, so names differing in letter case on a file system that ignores case, links and
// "dir/../name" detours are all caught. False when either does not exist.
bool sameFile(const std::string& a, const std::string& b);

// The absolute form of a path, without "." and ".." steps, resolved against the working folder
// as the file system would (links are not followed), with the platform's separators.
std::string absolutePath(const std::string& path);

// Whether two absolute paths are spelled alike where the file system would take them for one
// file: letter case aside on Windows.
bool sameSpelling(const std::string& a, const std::string& b);

}  // namespace rendlow
