cmake_minimum_required(VERSION 3.25)

# Fails when a deliverable imports something that Windows 7's system DLLs
# lack: the loader would then refuse to start it there. Reads the import
# tables with the toolchain's objdump.
#   cmake -DOBJDUMP=... -DREQUIRED=a.exe -DOPTIONAL=b.dll -P windows7_imports.cmake
# OPTIONAL is checked only when it has been built.
#
# A deny-list: DLLs that a stock Windows 7 does not have, and functions that
# came to its DLLs only later. Add to it when a later function is found.

# Matched against the lower-case DLL name.
set(missing_dll_patterns
  "^api-ms-win-"      # API sets; the C runtime ones (ucrt) are not on Windows 7
  "^ext-ms-"
  "^ucrtbase"
  "^vcruntime"
  "^msvcp1[4-9]"
  "^shcore\\.dll$"    # 8.1
  "^combase\\.dll$"   # 8
  "^dcomp\\.dll$"     # 8
  "^d3d12\\.dll$")    # 10

set(later_functions
  # USER32, per-monitor DPI (10 1607 and later)
  GetDpiForWindow GetDpiForSystem GetSystemDpiForProcess GetSystemMetricsForDpi SystemParametersInfoForDpi
  AdjustWindowRectExForDpi EnableNonClientDpiScaling SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext
  GetWindowDpiAwarenessContext GetAwarenessFromDpiAwarenessContext GetDpiFromDpiAwarenessContext
  AreDpiAwarenessContextsEqual IsValidDpiAwarenessContext SetProcessDpiAwarenessContext
  GetDpiAwarenessContextForProcess SetThreadDpiHostingBehavior GetThreadDpiHostingBehavior
  GetWindowDpiHostingBehavior SetDialogDpiChangeBehavior GetDialogDpiChangeBehavior
  SetDialogControlDpiChangeBehavior GetDialogControlDpiChangeBehavior LogicalToPhysicalPointForPerMonitorDPI
  PhysicalToLogicalPointForPerMonitorDPI OpenThemeDataForDpi
  # USER32, pointer input and the rest of 8 and later
  GetPointerType GetPointerInfo GetPointerFrameInfo GetPointerTouchInfo GetPointerPenInfo GetPointerDevices
  GetPointerDevice RegisterPointerDeviceNotifications EnableMouseInPointer IsMouseInPointerEnabled
  InitializeTouchInjection InjectTouchInput GetCurrentInputMessageSource GetCIMSSM GetUnpredictedMessagePos
  SetDisplayAutoRotationPreferences GetDisplayAutoRotationPreferences IsImmersiveProcess
  GetWindowFeedbackSetting SetWindowFeedbackSetting
  # KERNEL32 (8 and later; the DLL-directory ones need an update on 7)
  GetSystemTimePreciseAsFileTime CreateFile2 CopyFile2 WaitOnAddress WakeByAddressSingle WakeByAddressAll
  GetCurrentThreadStackLimits SetThreadDescription GetThreadDescription PrefetchVirtualMemory
  GetProcessMitigationPolicy SetProcessMitigationPolicy GetProcessInformation SetProcessInformation
  GetThreadInformation SetThreadInformation InitializeSynchronizationBarrier EnterSynchronizationBarrier
  DeleteSynchronizationBarrier GetOverlappedResultEx GetFirmwareType CreateFileMappingFromApp
  MapViewOfFileFromApp VirtualAllocFromApp VirtualAlloc2 MapViewOfFile3 LoadPackagedLibrary
  GetPackageFamilyName GetCurrentPackageFullName GetCurrentPackageId GetCurrentPackagePath
  QueryInterruptTime QueryInterruptTimePrecise QueryUnbiasedInterruptTimePrecise GetSystemCpuSetInformation
  SetThreadSelectedCpuSets DiscardVirtualMemory OfferVirtualMemory ReclaimVirtualMemory
  CreatePseudoConsole ResizePseudoConsole ClosePseudoConsole GetTempPath2W GetTempPath2A
  SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory
  # CFGMGR32 (8 and later)
  CM_Register_Notification CM_Unregister_Notification CM_MapCrToWin32Err)

function(check_imports binary)
  execute_process(COMMAND "${OBJDUMP}" -p "${binary}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${binary}")
  endif()
  string(REPLACE "\n" ";" lines "${dump}")
  set(dll "")
  set(count 0)
  set(faults "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*DLL Name: (.+)$")
      string(STRIP "${CMAKE_MATCH_1}" dll)
      string(TOLOWER "${dll}" lower)
      foreach(pattern IN LISTS missing_dll_patterns)
        if(lower MATCHES "${pattern}")
          list(APPEND faults "${dll} (not on Windows 7)")
        endif()
      endforeach()
    elseif(dll AND line MATCHES "^[ \t]+[0-9a-fA-F]+[ \t]+[0-9]+[ \t]+([A-Za-z_][A-Za-z0-9_@]*)")
      math(EXPR count "${count} + 1")
      if(CMAKE_MATCH_1 IN_LIST later_functions)
        list(APPEND faults "${dll}!${CMAKE_MATCH_1} (later than Windows 7)")
      endif()
    elseif(line MATCHES "^[ \t]*$")
      set(dll "")
    endif()
  endforeach()
  if(count EQUAL 0)
    message(FATAL_ERROR "no imports read from ${binary}: has objdump's format changed?")
  endif()
  if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "${binary} would not start on Windows 7; it imports:\n  ${text}\n"
                        "Resolve these at run time (GetProcAddress) with a fallback.")
  endif()
  message(STATUS "${binary}: ${count} imports, all on Windows 7")
endfunction()

check_imports("${REQUIRED}")
if(OPTIONAL AND EXISTS "${OPTIONAL}")
  check_imports("${OPTIONAL}")
endif()
