#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The few services that differ between Windows and other systems. Each has a Windows
// implementation (platform_win32.cpp) and a portable one (platform_portable.cpp); besides them,
// only the conversion of texts (system_text.h) and the opening of shared libraries
// (shared_library.h) touch the operating system directly, each in the same two ways.
namespace rendlow {

// True when `byte` starts a two-byte character of the program's texts: Shift_JIS (code page 932)
// on Windows, whatever code page the system runs under; code page 932 on other systems too, where
// the program holds its texts in 932 and converts only at its edges (see system_text.h).
bool isLeadByte(unsigned char byte);

// The program's texts (code page 932 bytes) as UTF-8, for the formats that are UTF-8 whatever the
// system. A byte that starts no character of the code page becomes U+FFFD, so a stray Latin-1 or
// broken name still comes out as valid UTF-8, visibly marked where it was broken.
std::string utf8FromProgramText(std::string_view text);

// UTF-8 text in the program's texts (code page 932); nothing when it is not valid UTF-8 or 932
// cannot hold one of its characters.
std::optional<std::string> programTextFromUtf8(std::string_view utf8);

// The separator this system puts between a folder and a name: "\" on Windows, "/" elsewhere.
char pathSeparator();

// The name the file system knows a path of the program's texts (code page 932) by: in the
// system's encoding (see system_text.h). A path the system's encoding cannot say stays as it is,
// so that the file system's own error tells what went wrong.
std::string systemPath(const std::string& path);

// A name the file system gave, in the program's texts; as it stands when 932 cannot hold it.
std::string programPath(const std::string& systemName);

// std::fopen, by a path of the program's texts.
std::FILE* openFile(const std::string& path, const char* mode);

// The names of the regular files in `folder`, in the program's texts, in no set order. On failure
// nothing, and `errorNumber` is the errno value that says why. A name the program's texts cannot
// hold comes as the system gives it, and so names no file the program could open.
std::optional<std::vector<std::string>> regularFilesIn(const std::string& folder, int& errorNumber);

// Moves `from` over `to`, replacing `to` if it exists, as one step of the file system. On failure
// errno says why.
bool replaceFile(const std::string& from, const std::string& to);

// Gives the file at `existing` a second name, `name`, in the same folder (a hard link), so an old
// file can be kept aside while a new one takes its place. On failure errno says why: ENOENT when
// nothing is at `existing`; a folder cannot be linked.
bool addFileName(const std::string& existing, const std::string& name);

// Gives `path` the permissions of the file at `model`, so a file replaced keeps who may read it.
// Nothing when `model` is not there, and nothing on Windows, where a new file inherits its
// folder's permissions anyway.
void copyFileMode(const std::string& model, const std::string& path);

// The folder of the running program's file, where the files shipped with it lie; empty when the
// system does not say.
std::string programFolder();

// The number the system knows this process by: names built with it are no other running
// process's.
unsigned long processId();

// Deletes the file at `path`, however long the path: whatever could make a file there can take it
// away. False when nothing was deleted.
bool removeFile(const std::string& path);

// Whether this system's file systems take `name` (a name, not a path) for a file: Windows refuses
// what isSafeFileName refuses (\ / : * ? " < > | and control characters); other systems refuse
// only the names "." and "..", which name folders.
bool systemTakesFileName(std::string_view name);

// The file a path finally names: a symbolic link's target, link after link, so an output written
// through a link replaces the file it points to and the link stays. The path itself when it is not
// a link.
std::string linkTarget(const std::string& path);

// What stands where an output would be written, links followed: nothing yet, a regular file its
// owner may write, a regular file its owner may not (whoever runs the program), or something that
// is not a regular file at all (a folder, a device, a pipe).
enum class OutputSpot { Free, WritableFile, ReadOnlyFile, NotAFile };
OutputSpot outputSpot(const std::string& path);

// True when `folder` (empty for the working folder) is a folder its owner may not write, whoever
// runs the program: no file can be made there. False where the system keeps no such mark.
bool folderReadOnly(const std::string& folder);

// True when both paths name one existing file: by the file system's identity of the file, not
// by spelling, so names differing in letter case on a file system that ignores case, links and
// "dir/../name" detours are all caught. False when either does not exist.
bool sameFile(const std::string& a, const std::string& b);

// The absolute form of a path, without "." and ".." steps, resolved against the working folder
// as the file system would (links are not followed), with the platform's separators.
std::string absolutePath(const std::string& path);

// Hands the memory freed so far back to the system, where the allocator would keep it: glibc
// keeps what each thread let go in that thread's arena. Called between the stages of a long job,
// so that one stage's buffers do not weigh on the next.
void returnFreedMemory();

// Whether two absolute paths are spelled alike where the file system would take them for one
// file: letter case aside on Windows.
bool sameSpelling(const std::string& a, const std::string& b);

}  // namespace rendlow
