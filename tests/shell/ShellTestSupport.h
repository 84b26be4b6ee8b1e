// Fixtures of the shell-layer tests: OLE for the whole test program, shortcuts made with the
// shell's own link object, and an allocation counter on the task allocator.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <string>

namespace kivtest {

// Writes a shortcut file at linkPath whose target is the given path (the link stores the
// target's identifier list, as the shell does when a user makes a shortcut).
void MakeShortcut(const std::string& linkPath, const std::string& target,
                  const std::string& arguments = "");

// The short (8.3) spelling of an existing path, or empty when the file system has none.
std::string ShortPathOf(const std::string& path);

// Counts the blocks of the COM task allocator that are alive, by an IMallocSpy registered for
// the whole program (the shell allocator is the task allocator). Registered once, never revoked:
// revoking fails while counted blocks are alive.
class TaskAllocations {
public:
    // Blocks allocated since the counter was installed and not freed yet.
    static long Live();
    static bool Install();
};

} // namespace kivtest
