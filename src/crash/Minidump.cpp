#include "crash/Minidump.h"

#include "ui/SystemLibrary.h"
#include "ui/UniqueHandle.h"

namespace crash {

bool WriteMinidump(HANDLE process, DWORD processId, DWORD threadId, std::uint64_t pointers,
                   const std::wstring& path) {
  // The dump writer is loaded here, not linked: the tool itself never needs it.
  const auto write =
      ui::SystemFunction<decltype(MiniDumpWriteDump)>(L"dbghelp.dll", "MiniDumpWriteDump");
  if (write == nullptr) return false;
  // Some dump writers (Wine's) load every module's symbols first, which
  // takes seconds and adds nothing to the dump: let them defer it.
  const auto getOptions =
      ui::SystemFunction<decltype(SymGetOptions)>(L"dbghelp.dll", "SymGetOptions");
  const auto setOptions =
      ui::SystemFunction<decltype(SymSetOptions)>(L"dbghelp.dll", "SymSetOptions");
  if (getOptions != nullptr && setOptions != nullptr)
    setOptions(getOptions() | SYMOPT_DEFERRED_LOADS);
  MINIDUMP_EXCEPTION_INFORMATION exception{};
  exception.ThreadId = threadId;
  exception.ExceptionPointers = reinterpret_cast<EXCEPTION_POINTERS*>(pointers);
  // The pointers are the crashed process's, not ours.
  exception.ClientPointers = TRUE;
  for (const MINIDUMP_TYPE type : {kDumpType, MiniDumpNormal}) {
    ui::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (write(process, processId, file.get(), type, &exception, nullptr, nullptr)) {
      return true;
    }
  }
  DeleteFileW(path.c_str());
  return false;
}

}  // namespace crash
