// Writing the crashed tool's minidump, from the handler's process.
#pragma once

#include <windows.h>

#include <dbghelp.h>

#include <cstdint>
#include <string>

namespace crash {

// What the dump holds: every thread's stack and registers, the module list
// and the exception (MiniDumpNormal), and, where the system's dump writer
// can add it, the memory that the stacks point at and the modules that were
// unloaded. Not the whole memory: that is hundreds of megabytes during a
// generation, and it would hold the user's files.
inline constexpr MINIDUMP_TYPE kDumpType = static_cast<MINIDUMP_TYPE>(
    MiniDumpNormal | MiniDumpWithIndirectlyReferencedMemory | MiniDumpWithUnloadedModules);

// Writes the dump of process (id processId) to path, with the exception of
// thread threadId whose EXCEPTION_POINTERS lie at `pointers` in that
// process's memory. A writer that refuses the added kinds gets a plain dump.
bool WriteMinidump(HANDLE process, DWORD processId, DWORD threadId, std::uint64_t pointers,
                   const std::wstring& path);

}  // namespace crash
